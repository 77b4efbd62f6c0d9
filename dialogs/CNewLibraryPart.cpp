#include "dialogs/CNewLibraryPart.h"

#include <algorithm>

#include "host/BuiltInPlugIns.h"
#include "host/CPlugInManager.h"
#include "platform/ui/CBitmap.h"
#include "resources/VaultryStrings.h"

namespace {

constexpr COLORREF kMask = RGB(255, 0, 255);

}  // namespace

CNewLibraryPart::CNewLibraryPart(CWnd* parent) : CModuleDialog(IDD_NEW_PART, parent) {}

CNewLibraryPart::~CNewLibraryPart() = default;

int CNewLibraryPart::ImageOf(HINSTANCE module, UINT resourceID) {
    CBitmap bitmap;
    return bitmap.LoadBitmap(module, resourceID) ? m_imageList.Add(bitmap, kMask) : -1;
}

// One line per document type of every plug-in, the last met first.
BOOL CNewLibraryPart::OnInitDialog() {
    CModuleDialog::OnInitDialog();
    m_list.Create(CRect{0, 0, 10, 10}, this, IDC_TYPE_LIST, false);
    ReplaceControl(IDC_TYPE_LIST, m_list);
    m_imageList.Create(16, 16);
    m_entries.clear();
    const CPlugInManager* plugIns = GetPlugInManager();
    for (int p = 0; p < plugIns->GetPlugInCount(); ++p) {
        const CKV_DocInterface* plugIn = plugIns->GetPlugIn(p);
        for (int t = 0; plugIn != nullptr && t < plugIn->GetDocTypeCount(); ++t) {
            // A type without its information, or without a name to show, is passed over.
            DOCINFOSTRUCT info;
            const CString docType = plugIn->GetDocType(t);
            const char* name = nullptr;
            if (!GetDocInfoForDocType(docType, info) || info.hModule == nullptr ||
                (name = info.hModule->FindString(info.nDescriptionID)) == nullptr || *name == 0) {
                continue;
            }
            m_entries.insert(m_entries.begin(),
                             Entry{docType, name, ImageOf(info.hModule, info.nIconID)});
        }
    }
    m_list.SetImageList(&m_imageList, LVSIL_SMALL);
    m_list.SetDisplayHandler([this](int item) {
        ListItemDisplay display;
        display.text = m_entries[static_cast<std::size_t>(item)].name;
        display.image = m_entries[static_cast<std::size_t>(item)].image;
        return display;
    });
    m_list.SetItemCountEx(static_cast<int>(m_entries.size()));
    int widest = 0;
    for (const Entry& entry : m_entries) {
        widest = std::max(widest, m_list.GetStringWidth(entry.name));
    }
    m_list.SetColumnWidth(widest + 40);  // past the icon; never narrower than the list
    m_list.OnDoubleClick([this](int item) {
        if (item >= 0) {
            OnOK();
        }
    });
    m_list.SetFocus();
    return FALSE;
}

void CNewLibraryPart::OnOK() {
    if (m_list.GetSelectedCount() != 1) {
        return;
    }
    m_strDocType =
        m_entries[static_cast<std::size_t>(m_list.GetNextItem(-1, LVNI_SELECTED))].docType;
    CModuleDialog::OnOK();
}
