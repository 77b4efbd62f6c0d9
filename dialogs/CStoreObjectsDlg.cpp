#include "dialogs/CStoreObjectsDlg.h"

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "access/LibraryTree.h"
#include "access/WrongPasswordPause.h"
#include "access/ui/PasswordDialogs.h"
#include "dialogs/LibraryChoices.h"
#include "host/CDrwGroup.h"
#include "host/CDrwObList.h"
#include "host/CSet.h"
#include "platform/afx/AfxMessageBox.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"
#include "tables/CRSObjects.h"
#include "tables/CRSUserTree.h"

CStoreObjectsDlg::CStoreObjectsDlg(CWnd* parent) : CModuleDialog(IDD_STORE_OBJECTS, parent) {}

CStoreObjectsDlg::~CStoreObjectsDlg() = default;

bool CStoreObjectsDlg::SetDocType(const CString& docType) {
    m_docType = docType;
    return true;
}

void CStoreObjectsDlg::SetObjectTreeID(long treeID, DATABASETYPE type) {
    m_treeID = treeID;
    m_target = type;
}

void CStoreObjectsDlg::SetObjectList(CDrwObList* list) {
    m_objects = list;
}

void CStoreObjectsDlg::DoDataExchange(CDataExchange* pDX) {
    CModuleDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_TARGET_DATABASE, m_database);
    DDX_Radio(pDX, IDC_CURRENT_SELECTION, m_mode);
}

BOOL CStoreObjectsDlg::OnInitDialog() {
    CModuleDialog::OnInitDialog();
    m_checkList.Create(CRect{0, 0, 10, 10}, this, IDC_CHECK_LIST);
    m_parts.Create(CRect{0, 0, 10, 10}, this, IDC_OBJECTCBO);
    m_parts.m_eDatabaseForShow = m_target;
    MakeBars();
    m_preview.Create(CRect{0, 0, 10, 10}, this);
    m_preview.Init(m_docType);
    ReplaceControl(IDC_PREVIEW, m_preview);
    ConnectControls();
    m_checkList.SetObjectList(m_objects);
    m_checkList.SetDatabaseType(m_target);
    m_registry.SetSection(m_docType, GetWindowText());
    const bool emptyDesign = m_objects == nullptr || m_objects->GetCount() == 0;
    if (m_group == nullptr || emptyDesign) {
        m_selectionButton.EnableWindow(FALSE);
        m_designButton.EnableWindow(FALSE);
        m_mode = m_group == nullptr ? 1 : m_mode;
    }
    CString name = m_group != nullptr && m_group->GetName() != nullptr ? *m_group->GetName() : "";
    if (name.IsEmpty()) {
        name = m_registry.GetLastObjectName();
    }
    m_parts.m_strDocTypeFilter = m_docType;
    RefillParts();
    m_parts.SetObjectName(name);
    UpdateData(FALSE);
    OnCurrentSelection();
    FillDatabaseCombo();
    // Said only where it is true: the design's parts are offered and none of them could be
    // ticked.
    if (m_mode == 1 && m_checkList.GetCount() > 0 && m_checkList.GetCheckCount() == 0) {
        AfxMessageBox(ModuleString(IDS_ALL_NAMES_TAKEN), MB_OK | MB_ICONEXCLAMATION);
    }
    return FALSE;
}

// Before anything is filled: a dialog shown a second time must not reach the windows of the
// first through handlers left from then.
void CStoreObjectsDlg::ConnectControls() {
    m_selectionButton.Attach(GetDlgItem(IDC_CURRENT_SELECTION)->Widget());
    m_designButton.Attach(GetDlgItem(IDC_DESIGN_CONTENTS)->Widget());
    for (CButton* mode : {&m_selectionButton, &m_designButton}) {
        mode->OnClicked([this] { OnCurrentSelection(); });
    }
    m_checkList.OnSelChange([this] { OnListSelChange(); });
    m_checkList.OnCheckChange([this](int) { OnListSelChange(); });
    m_checkList.OnContextMenu([this](CPoint at) { OnContextMenu(at); });
    m_parts.OnNotify([this](int code) {
        if (code == OBJECTCBO_SELCHANGE && m_mode == 0) {
            GetDlgItem(IDC_OK)->EnableWindow(TRUE);
        }
    });
    m_database.OnSelEndOk([this] { OnSelendokDatabaseselectcmb(); });
}

void CStoreObjectsDlg::FillDatabaseCombo() {
    AddTargetLibraries(m_database);
    bool offered = false;
    for (int i = 0; i < m_database.GetCount(); ++i) {
        if (m_database.GetItemData(i) == static_cast<DWORD_PTR>(m_target)) {
            m_database.SetCurSel(i);
            offered = true;
        }
    }
    if (!offered) {
        m_database.SetCurSel(m_database.GetCount() - 1);  // the user library
        OnSelendokDatabaseselectcmb();
    }
}

void CStoreObjectsDlg::RefillParts() {
    CMSAccessDBHandler* library = GetAccessDB(m_target);
    const std::vector<long> categories =
        library != nullptr ? LibraryTree(*library).SubTree(m_treeID) : std::vector<long>{};
    if (categories.empty()) {
        m_parts.ClearList();
    } else {
        m_parts.FillList(LibraryTree::PartsFilter(categories), static_cast<DATABASETYPE>(0));
    }
}

void CStoreObjectsDlg::OnCurrentSelection() {
    UpdateData(TRUE);
    const bool single = m_mode == 0 && m_group != nullptr;
    m_checkBar.ShowWindow(single ? SW_HIDE : SW_SHOW);
    m_partBar.ShowWindow(single ? SW_SHOW : SW_HIDE);
    if (single) {
        auto copy = std::make_unique<CDrwObList>(true);
        copy->Add(dynamic_cast<CDrawObject*>(m_group->Clone()));
        ShowInPreview(std::move(copy));
        m_parts.NameField().SetFocus();
    } else {
        m_checkList.SetFocus();
        OnListSelChange();
    }
}

void CStoreObjectsDlg::ShowInPreview(std::unique_ptr<CDrwObList> objects) {
    // The preview lets go of the old objects before they are freed.
    m_preview.SetObjectList(objects.get());
    m_previewList = std::move(objects);
    m_preview.ZoomToFitObjects();
}

void CStoreObjectsDlg::OnListSelChange() {
    ShowInPreview(m_checkList.GetSelectedObjectList(true));
    GetDlgItem(IDC_OK)->EnableWindow(TRUE);
    EnableCheckBar();
}

// Another library: its parts count as taken, and the category is one of its own: where the
// dialog was used last in it, or its top.
void CStoreObjectsDlg::OnSelendokDatabaseselectcmb() {
    const int chosen = m_database.GetCurSel();
    const auto target =
        chosen < 0 ? DATABASETYPE_USER : static_cast<DATABASETYPE>(m_database.GetItemData(chosen));
    CMSAccessDBHandler* library = GetAccessDB(target);
    if (target != m_target && library != nullptr) {
        const LibraryTree tree(*library);
        long lastTier = 0;
        const long last = m_registry.GetLastLocation(lastTier);
        const bool remembered = lastTier == target && tree.Find(last) != nullptr;
        m_treeID = remembered ? last : tree.Root() != nullptr ? tree.Root()->id : 0;
    }
    m_target = target;
    m_checkList.SetDatabaseType(m_target);
    m_parts.m_eDatabaseForShow = m_target;
    RefillParts();
    if (m_mode == 1) {
        OnListSelChange();
    }
}

bool CStoreObjectsDlg::PasswordGiven() {
    CMSAccessDBHandler* library = GetAccessDB(m_target);
    CRSUserTree* users = library != nullptr ? library->GetRSUserTree() : nullptr;
    if (users == nullptr || !users->HasPassword(0) ||
        users->GetUserPassword(0) == users->m_strEnteredPassword) {
        return true;
    }
    CAskLibPassword ask(this);
    ask.m_nDatabaseType = m_target;
    if (ask.DoModal() != IDOK) {
        return false;
    }
    if (users->GetUserPassword(0) != users->m_strEnteredPassword) {
        WrongPasswordPause::AfterWrongPassword();
        AfxMessageBox(ModuleString(IDS_WRONG_PASSWORD), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

bool CStoreObjectsDlg::AcceptName() {
    const CString name = m_parts.NameField().GetWindowText();
    if (name.IsEmpty()) {
        AfxMessageBox(ModuleString(IDS_NAME_MISSING), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    CMSAccessDBHandler* library = GetAccessDB(m_target);
    if (library != nullptr && library->GetRSObjects() != nullptr &&
        library->GetRSObjects()->GetFirstObjectID(name) != -1) {
        AfxMessageBox(ModuleString(IDS_NAME_EXISTS), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    m_group->SetName(name);
    return true;
}

void CStoreObjectsDlg::OnOK() {
    UpdateData(TRUE);
    if ((m_target == DATABASETYPE_MASTER && !MasterEditPermitted()) || !PasswordGiven()) {
        return;
    }
    m_checked = m_checkList.GetCheckedObjectList();
    if (IsSingleStore() && m_group != nullptr) {
        if (AcceptName()) {
            CModuleDialog::OnOK();
        }
    } else if (m_checked->GetCount() > 0) {
        CModuleDialog::OnOK();
    } else {
        AfxMessageBox(
            ModuleString(IDS_UNIQUE_NAMES_HELP) + ModuleString(IDS_UNIQUE_NAMES_HELP_STEPS),
            MB_OK | MB_ICONEXCLAMATION);
    }
}
