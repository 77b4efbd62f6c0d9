#include "controls/CObjectTypeComboBox.h"

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "host/BuiltInPlugIns.h"
#include "host/CPlugInManager.h"
#include "host/CSet.h"
#include "host/ResourceStrings.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"
#include "tables/CRSObjectTypes.h"

namespace {

constexpr UINT kControlId = 57380;

}  // namespace

CObjectTypeComboBox::CObjectTypeComboBox() = default;

CObjectTypeComboBox::~CObjectTypeComboBox() = default;

BOOL CObjectTypeComboBox::Create(const CRect& rect, CWnd* parent) {
    if (!CComboBox::Create(rect, parent, kControlId)) {
        return FALSE;
    }
    SetWindowText("ObjectTypeComboBox");
    return TRUE;
}

// Visibility 1 is offered only to who may change the master library; visibility 2 in storing
// dialogs, and in getting dialogs when asked for (or, again, to who may change the master).
bool CObjectTypeComboBox::Offered(const CString& docType, BYTE visibility) const {
    switch (visibility) {
        case ZB_VISIBILITY_HIDDEN:
            return MasterEditPermitted();
        case ZB_VISIBILITY_STORE_ONLY: {
            for (const CString& request : m_aRequests) {
                if (request == docType) {
                    return true;
                }
            }
            return !m_bGetDialog || MasterEditPermitted();
        }
        default:
            return true;
    }
}

bool CObjectTypeComboBox::Init(DATABASETYPE type, const CString& docType) {
    ResetContent();
    m_mapDescToDocType.clear();
    CMSAccessDBHandler* library = GetAccessDB(type);
    m_pRSObjectTypes = library ? library->GetRSObjectTypes() : nullptr;
    CPlugInManager* plugIns = GetPlugInManager();
    if (plugIns == nullptr) {
        return false;
    }
    for (int i = 0; i < plugIns->GetPlugInCount(); ++i) {
        const CKV_DocInterface& plugIn = *plugIns->GetPlugIn(i);
        for (int k = 0; k < plugIn.GetDocTypeCount(); ++k) {
            DOCINFOSTRUCT info;
            if (!GetDocInfoForDocType(plugIn.GetDocType(k), info) ||
                info.pszRelatedDocType == nullptr || m_pRSObjectTypes == nullptr) {
                continue;
            }
            const CString description = GetResourceString(info.hModule, info.nDescriptionID);
            // Browsing writes nothing: a type without a row yet is as a new row would be.
            const BYTE visibility = m_pRSObjectTypes->CheckObjectTypeExist(
                                        info.pszDocType, false, description, ZB_VISIBILITY_NORMAL)
                                        ? m_pRSObjectTypes->m_byVisibility
                                        : static_cast<BYTE>(ZB_VISIBILITY_NORMAL);
            if (Offered(info.pszDocType, visibility)) {
                m_mapDescToDocType.emplace(description, info.pszDocType);
            }
        }
    }
    if (m_mapDescToDocType.size() > 1) {
        AddString(ModuleString(IDS_ALL_TYPES));
    }
    int chosen = 0;
    for (const auto& [description, offered] : m_mapDescToDocType) {
        const int index = AddString(description);
        chosen = offered == docType ? index : chosen;
    }
    SetCurSel(chosen);
    return true;
}

bool CObjectTypeComboBox::GetObjectDocType(CString& docTypes) {
    docTypes.Empty();
    CString text;
    if (!GetObjectTypeName(text)) {
        return false;
    }
    const auto found = m_mapDescToDocType.find(text);
    if (found != m_mapDescToDocType.end()) {
        docTypes = found->second;
        return true;
    }
    for (const auto& [description, offered] : m_mapDescToDocType) {
        docTypes += offered + "|";
    }
    return true;
}

bool CObjectTypeComboBox::GetCurSel(int& index) {
    index = CComboBox::GetCurSel();
    return index != CB_ERR;
}

bool CObjectTypeComboBox::GetObjectTypeName(CString& text) {
    int index = 0;
    if (!GetCurSel(index)) {
        return false;
    }
    GetLBText(index, text);
    return !text.IsEmpty();
}

void CObjectTypeComboBox::AddRequest(const CString& docType) {
    for (const CString& request : m_aRequests) {
        if (request == docType) {
            return;
        }
    }
    m_aRequests.Add(docType);
}
