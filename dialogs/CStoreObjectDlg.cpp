#include "dialogs/CStoreObjectDlg.h"

#include "access/CMSAccessDBHandler.h"
#include "access/ChangeRefused.h"
#include "access/LibrarySet.h"
#include "access/RightsGate.h"
#include "access/ui/PasswordPrompt.h"
#include "dialogs/LibraryChoices.h"
#include "host/CDrwGroup.h"
#include "host/CSet.h"
#include "host/CurrentDesign.h"
#include "platform/afx/AfxMessageBox.h"
#include "resources/VaultryStrings.h"
#include "tables/CRSObjects.h"

CStoreObjectDlg::CStoreObjectDlg(CWnd* parent) : CModuleDialog(IDD_STORE_OBJECT, parent) {}

CStoreObjectDlg::~CStoreObjectDlg() {
    m_preview.RemoveAllObjects();  // the group is the host's
}

bool CStoreObjectDlg::Init(const CString& docType) {
    m_strDocType = docType;
    return true;
}

void CStoreObjectDlg::DoDataExchange(CDataExchange* pDX) {
    CModuleDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_TARGET_DATABASE, m_DatabaseCombo);
    DDX_Check(pDX, IDC_SHOW_SUBTREE, m_bShowSubtree);
}

BOOL CStoreObjectDlg::OnInitDialog() {
    CModuleDialog::OnInitDialog();
    m_ObjectTree.Create(CRect{0, 0, 10, 10}, this, false);
    MakeCategoryBar(m_treeButtons, this, m_ObjectTree);
    ReplaceControl(IDC_OBJECT_TREE, m_treeButtons);
    m_ObjectTree.SetReadOnly(false);
    m_ObjectTree.SetIsCopyTarget(true);
    m_ObjectCombo.Create(CRect{0, 0, 10, 10}, this, IDC_OBJECTCBO);
    ReplaceControl(IDC_OBJECTCBO, m_ObjectCombo);
    m_preview.Create(CRect{0, 0, 10, 10}, this);
    m_preview.Init(GetSheetColorDefinition(), GetSheetLayerDefinition(),
                   GetTotalLayerInformation());
    if (GetSheetLayerDefinition() == nullptr) {
        m_preview.Init(m_strDocType);  // no design open: the type's own layers
    }
    ReplaceControl(IDC_PREVIEW, m_preview);
    if (m_pDrawGroup != nullptr) {
        m_preview.AddDrawObject(m_pDrawGroup, true);
    }
    m_preview.ZoomToFitObjects();
    m_registry.SetSection(m_strDocType, GetWindowText());
    m_bShowSubtree = m_registry.GetMustShowSubTreeItems() != 0 ? 1 : 0;
    UpdateData(FALSE);
    m_ObjectCombo.m_strDocTypeFilter = m_strDocType;
    if (!m_strDefaultName.IsEmpty()) {
        m_ObjectCombo.SetObjectName(m_strDefaultName);
    }
    m_ObjectTree.OnSelChanged([this] { OnTreeChange(); });
    m_DatabaseCombo.OnSelEndOk([this] { OnSelendokDatabaseselectcmb(); });
    m_showSubtreeButton.Attach(GetDlgItem(IDC_SHOW_SUBTREE)->Widget());
    m_showSubtreeButton.OnClicked([this] { OnShowsubtreecontents(); });
    FillDatabaseCombo();
    SelectLastDatabase();
    m_ObjectCombo.NameField().SetFocus();
    return FALSE;
}

void CStoreObjectDlg::FillDatabaseCombo() {
    AddTargetLibraries(m_DatabaseCombo);
    m_DatabaseCombo.SetCurSel(m_DatabaseCombo.GetCount() - 1);  // the user library
}

// The library used last, when it is offered, and in it the category used last.
void CStoreObjectDlg::SelectLastDatabase() {
    long lastTier = 0;
    const long lastTreeID = m_registry.GetLastLocation(lastTier);
    for (int i = 0; i < m_DatabaseCombo.GetCount(); ++i) {
        if (lastTier != 0 && m_DatabaseCombo.GetItemData(i) == static_cast<DWORD_PTR>(lastTier)) {
            m_DatabaseCombo.SetCurSel(i);
        }
    }
    OnSelendokDatabaseselectcmb();
    if (lastTier == m_eDatabaseType) {
        m_ObjectTree.SetObjectTreeID(lastTreeID, m_eDatabaseType);
    }
}

void CStoreObjectDlg::OnSelendokDatabaseselectcmb() {
    const int chosen = m_DatabaseCombo.GetCurSel();
    m_eDatabaseType = chosen < 0 ? DATABASETYPE_USER
                                 : static_cast<DATABASETYPE>(m_DatabaseCombo.GetItemData(chosen));
    m_ObjectTree.SetDatabaseTypeForShow(m_eDatabaseType);
    m_ObjectTree.Init(-1, m_eDatabaseType);
    UpdateComponentList();
}

void CStoreObjectDlg::OnShowsubtreecontents() {
    UpdateData(TRUE);
    UpdateComponentList();
}

void CStoreObjectDlg::UpdateComponentList() {
    CWaitCursor wait;
    m_ObjectCombo.m_eDatabaseForShow = m_eDatabaseType;
    CString filter;
    DATABASETYPE tier = m_eDatabaseType;
    if (m_ObjectTree.GetStringOfIDs(filter, m_bShowSubtree, tier)) {
        m_ObjectCombo.FillList(filter, m_eDatabaseType);
    } else {
        m_ObjectCombo.ClearList();
    }
}

void CStoreObjectDlg::OnTreeChange() {
    UpdateComponentList();
    DATABASETYPE tier = m_eDatabaseType;
    const bool chosen = m_ObjectTree.GetSelectedID(tier) != -1;
    const bool editable = chosen && (tier != DATABASETYPE_MASTER || MasterEditPermitted());
    const bool below = editable && !m_ObjectTree.IsTopMostSelected();
    m_treeButtons.EnableButton(m_treeButtons.GetButtonNum(ID_TREE_NEW), editable);
    m_treeButtons.EnableButton(m_treeButtons.GetButtonNum(ID_TREE_DELETE), below);
    m_treeButtons.EnableButton(m_treeButtons.GetButtonNum(ID_TREE_RENAME), below);
}

BOOL CStoreObjectDlg::OnCommand(UINT id) {
    switch (id) {
        case ID_TREE_NEW:
            if (TestForTreeRightsAndCancel()) {
                m_ObjectTree.AddChild(CObjectTreeCtrl::kNewCategoryName);
            }
            return TRUE;
        case ID_TREE_DELETE:
        case ID_TREE_RENAME:
            if (!m_ObjectTree.IsTopMostSelected() && TestForTreeRightsAndCancel()) {
                id == ID_TREE_DELETE ? m_ObjectTree.Delete(nullptr) : m_ObjectTree.Rename(nullptr);
            }
            return TRUE;
        default:
            return CModuleDialog::OnCommand(id);
    }
}

bool CStoreObjectDlg::TestForTreeRightsAndCancel() {
    return m_ObjectTree.TestForSelectionRightsAndCancel();
}

// The password is asked only where it can help: for a part of the current user whose library
// wants one. A part of someone else stays theirs.
bool CStoreObjectDlg::TestForObjectRightsAndCancel(long objectID) {
    CMSAccessDBHandler* library = GetAccessDB(m_eDatabaseType);
    if (library == nullptr) {
        return false;
    }
    try {
        RightsGate(DialogPasswordPrompt()).RequireOnPart(*library, objectID);
    } catch (const ChangeRefused&) {
        return false;
    }
    return true;
}

void CStoreObjectDlg::OnOK() {
    UpdateData(TRUE);
    m_registry.SetMustShowSubTreeItems(m_bShowSubtree);
    CMSAccessDBHandler* library = GetAccessDB(m_eDatabaseType);
    if (library == nullptr) {
        return;
    }
    const CString description = library->GetDocTypeDescrption(m_strDocType);
    CString name;
    if (!m_ObjectCombo.GetCurrentName(name)) {
        AfxMessageBox(Formatted(IDS_SPECIFY_NAME, description), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (AcceptName(name, description)) {
        Accept(name);
    }
}

// A new name needs a category the user may add to; an existing one of the same type needs the
// rights on that part and a yes to the overwrite question, and keeps its category.
bool CStoreObjectDlg::AcceptName(const CString& name, const CString& description) {
    CMSAccessDBHandler& library = *GetAccessDB(m_eDatabaseType);
    const long existing = library.GetObjectID(name, m_strDocType);
    if (existing <= 0) {
        DATABASETYPE tier = m_eDatabaseType;
        if (!m_ObjectTree.GetObjectTreeID(m_lObjectTreeID, tier)) {
            AfxMessageBox(Formatted(IDS_SELECT_GROUP_FIRST, description),
                          MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
        return TestForTreeRightsAndCancel();
    }
    if (!TestForObjectRightsAndCancel(existing)) {
        AfxMessageBox(Formatted(IDS_NAME_TAKEN_NO_RIGHTS, description), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (AfxMessageBox(Formatted(IDS_OVERWRITE, description), MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return false;
    }
    CRSObjects* parts = library.GetRSObjects();
    if (parts == nullptr || !parts->FindObjectID(existing)) {
        return false;
    }
    m_lObjectTreeID = parts->m_lObjectTreeID;
    return true;
}

void CStoreObjectDlg::Accept(const CString& name) {
    if (m_pDrawGroup != nullptr) {
        m_pDrawGroup->SetName(name);
    }
    m_registry.SetLastObjectName(name);
    m_registry.SetLastLocation(m_lObjectTreeID, m_eDatabaseType);
    CModuleDialog::OnOK();
}

CString CStoreObjectDlg::Formatted(UINT id, const CString& description) const {
    CString text;
    AfxFormatString1(text, id, description);
    return text;
}
