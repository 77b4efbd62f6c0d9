#include "dialogs/PartSheets.h"

#include <QEventLoop>

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "dialogs/CStoreObjectDlg.h"
#include "host/CDrwGroup.h"
#include "host/CDrwSubSheet.h"
#include "host/CurrentDesign.h"
#include "host/ui/CPartSheetWnd.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/dao/CDaoException.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"
#include "tables/CRSObjects.h"

PartSheets::PartSheets() {
    EventCreateEmptyProjectSubsheet().AddCallBack(
        this, [this](CREATE_SUBSHEET_REQUEST& request) { return Open(request); });
}

PartSheets::~PartSheets() {
    EventCreateEmptyProjectSubsheet().RemoveCallBacks(this);
    for (const auto& window : m_windows) {
        if (GetDrwSubSheet() == &window->Sheet()) {
            SetCurrentDesign(nullptr);
        }
    }
}

namespace {

// The part `part` refers to, decoded onto `sheet` with its name; false (the user told) when it
// cannot be read.
bool LoadInto(CDrwSubSheet& sheet, const PART_REFERENCE& part, CString& name) {
    CMSAccessDBHandler* library = GetAccessDB(static_cast<DATABASETYPE>(part.lDatabaseType));
    CRSObjects* parts = library != nullptr ? library->GetRSObjects() : nullptr;
    if (parts == nullptr || !parts->FindObjectID(part.lObjectID)) {
        return false;
    }
    name = parts->m_strObjectName;
    CDrwGroup* group = nullptr;
    if (library->LoadObject(&sheet, group, part.lObjectID, &sheet.GetLayerDefinition(),
                            &sheet.GetColorDefinition()) < 0 ||
        group == nullptr) {
        delete group;
        CString why = ModuleString(IDS_PART_UNREADABLE);
        why.Replace("%1", name);
        AfxMessageBox(why, MB_OK | MB_ICONERROR);
        return false;
    }
    sheet.AddObject(std::unique_ptr<CDrawObject>(group), true);
    return true;
}

}  // namespace

int PartSheets::Open(const CREATE_SUBSHEET_REQUEST& request) {
    auto sheet = CDrwSubSheet::ForDocType(request.pszDocType != nullptr ? request.pszDocType : "");
    if (sheet == nullptr || request.lCount < 1) {
        return 0;
    }
    CString name;
    const PART_REFERENCE* part = request.pPart;
    try {
        if (part != nullptr && part->lObjectID != 0 && !LoadInto(*sheet, *part, name)) {
            return 0;
        }
    } catch (const CDaoException& error) {
        AfxMessageBox(error.GetErrorMessage(), MB_OK | MB_ICONERROR);
        return 0;
    }
    m_windows.push_back(std::make_unique<CPartSheetWnd>(std::move(sheet), name));
    CPartSheetWnd& window = *m_windows.back();
    window.Create([this](CPartSheetWnd& shown) { Store(shown); });
    SetCurrentDesign(&window.Sheet());
    return 1;
}

bool PartSheets::Store(CPartSheetWnd& window) {
    CDrwSubSheet& sheet = window.Sheet();
    SetCurrentDesign(&sheet);
    const std::unique_ptr<CDrwGroup> group(sheet.CreateGroupOfObjects(true));
    if (group == nullptr) {
        return false;
    }
    CStoreObjectDlg dialog;
    dialog.Init(sheet.GetDocType());
    dialog.SetDrawGroup(group.get());
    dialog.SetDefaultName(window.GetPartName());
    if (dialog.DoModal() != IDOK) {
        return false;
    }
    CMSAccessDBHandler* library = GetAccessDB(dialog.GetDBType());
    try {
        // A failure has been reported by the library itself.
        if (library == nullptr ||
            !library->SaveObject(&sheet, group.get(), dialog.GetObjectTreeID(),
                                 dialog.GetObjectDocType(), &sheet.GetColorDefinition(),
                                 &sheet.GetLayerDefinition())) {
            return false;
        }
    } catch (const CDaoException& error) {
        AfxMessageBox(error.GetErrorMessage(), MB_OK | MB_ICONERROR);
        return false;
    }
    window.SetPartName(*group->GetName());
    return true;
}

bool PartSheets::AnyShown() const {
    for (const auto& window : m_windows) {
        if (window->IsWindowVisible()) {
            return true;
        }
    }
    return false;
}

void PartSheets::WaitWhileShown() {
    QEventLoop loop;
    for (const auto& window : m_windows) {
        window->OnHidden([this, &loop] {
            if (!AnyShown()) {
                loop.quit();
            }
        });
    }
    if (AnyShown()) {
        loop.exec();
    }
    for (const auto& window : m_windows) {
        window->OnHidden({});
    }
}
