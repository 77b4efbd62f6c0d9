#include "dialogs/CDatabaseManagerDlg.h"

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "host/CurrentDesign.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"
#include "resources/VaultryTemplates.h"

CDatabaseManagerDlg::CDatabaseManagerDlg(CWnd* parent)
    : CPreviewDialog(IDD_DATABASE_MANAGER, parent) {}

CDatabaseManagerDlg::~CDatabaseManagerDlg() = default;

void CDatabaseManagerDlg::DoDataExchange(CDataExchange* pDX) {
    CPreviewDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_OBJECT_TYPE, m_types);
    DDX_Check(pDX, IDC_SHOW_SUBTREE, m_showSubTree);
}

void CDatabaseManagerDlg::RememberLocation(long treeID, DATABASETYPE tier) {
    CDatabaseRegistry registry;
    registry.SetSection("", kDatabaseManagerCaption);
    registry.SetLastLocation(treeID, tier);
}

BOOL CDatabaseManagerDlg::OnInitDialog() {
    CPreviewDialog::OnInitDialog();
    m_tree.SetAllowDraging(true);
    m_tree.Create(CRect{0, 0, 10, 10}, this, false);
    m_parts.Create(CRect{0, 0, 10, 10}, this, IDC_OBJECTCBO);
    MakeBars();
    m_registry.SetSection(m_strDocType, GetWindowText());
    m_tree.SetReadOnly(false);
    m_showSubTree = m_registry.GetMustShowSubTreeItems() != 0 ? 1 : 0;
    CreatePreviewControls();
    m_tree.OnSelChanged([this] { OnTreeChange(); });
    m_tree.OnDropped([this] {
        RefillParts();
        OnChangeObject();
    });
    m_types.OnSelChange([this] {
        if (!m_refillingTypes) {
            OnChangeType();
        }
    });
    m_parts.OnNotify([this](int code) {
        if (code == OBJECTCBO_SELCHANGE) {
            OnChangeObject();
        }
    });
    m_showSubTreeButton.Attach(GetDlgItem(IDC_SHOW_SUBTREE)->Widget());
    m_showSubTreeButton.OnClicked([this] { OnShowsubtreecontents(); });
    m_tree.OnContextMenu([this](CPoint at) { OnContextMenu(&m_tree, at); });
    m_parts.List().OnContextMenu([this](CPoint at) { OnContextMenu(&m_parts.List(), at); });
    UpdateData(FALSE);
    UpdateControls();
    ShowFirstTime();
    return FALSE;
}

// The dialog opens on the category last used (the first top category when it is gone) and the
// document type it is for.
void CDatabaseManagerDlg::ShowFirstTime() {
    CWaitCursor wait;
    long lastTier = 0;
    const long lastTreeID = m_registry.GetLastLocation(lastTier);
    m_types.SetGetDialog(false);
    RefillObjectTypes(static_cast<DATABASETYPE>(lastTier));
    m_parts.m_strDocTypeFilter = m_strDocType;
    m_tree.Init(lastTreeID, static_cast<DATABASETYPE>(lastTier));
    OnChangeType();
}

void CDatabaseManagerDlg::OnCancel() {
    m_registry.SetMustShowSubTreeItems(m_showSubTree);
    CPreviewDialog::OnCancel();
}

DATABASETYPE CDatabaseManagerDlg::RefillParts() {
    CString filter;
    DATABASETYPE tier = DATABASETYPE_USER;
    if (m_tree.GetStringOfIDs(filter, m_showSubTree, tier)) {
        m_parts.FillList(filter, tier);
    } else {
        m_parts.ClearList();
    }
    return tier;
}

// The type filter is filled anew for the library shown; choosing its entry is not the user's
// change of type.
void CDatabaseManagerDlg::RefillObjectTypes(DATABASETYPE newTier) {
    m_refillingTypes = true;
    m_types.Init(newTier, m_strDocType);
    m_refillingTypes = false;
}

void CDatabaseManagerDlg::OnChangeType() {
    CWaitCursor wait;
    if (m_types.GetObjectDocType(m_strDocType)) {
        m_parts.m_strDocTypeFilter = m_strDocType;
        RefillParts();
    }
    OnChangeObject();
}

void CDatabaseManagerDlg::OnTreeChange() {
    CWaitCursor wait;
    const DATABASETYPE tier = RefillParts();
    RefillObjectTypes(tier);
    m_currentDatabase = tier;
    OnChangeObject();
    EnableTreeBar();
}

void CDatabaseManagerDlg::OnShowsubtreecontents() {
    UpdateData(TRUE);
    const DATABASETYPE tier = RefillParts();
    RefillObjectTypes(tier);
    m_currentDatabase = tier;
}

// A part is read again only when another is chosen. One that cannot be read leaves no part
// chosen: the preview says so and the part bar treats it as unreadable.
void CDatabaseManagerDlg::OnChangeObject() {
    CWaitCursor wait;
    long objectID = -1;
    DATABASETYPE tier = m_currentDatabase;
    if (m_parts.GetSelectedObjectID(objectID, tier)) {
        CMSAccessDBHandler* library = GetAccessDB(tier);
        // Ids count in their own library: the same id in another one is another part.
        if (objectID == m_lastLoadedID && tier == m_lastLoadedTier && GetLoadedGroup() != nullptr) {
            RedoDimensions();  // the same part again: shown again, not read again
        } else if (library != nullptr) {
            const long typeID = LoadIntoPreview(*library, objectID, GetSheetLayerDefinition(),
                                                GetSheetColorDefinition());
            m_lastLoadedID = typeID < 0 ? -1 : objectID;
            m_lastLoadedTier = tier;
            m_lastLoadedTypeID = typeID < 0 ? m_lastLoadedTypeID : typeID;
        }
    } else {
        GetPreview().RemoveAllObjects();
    }
    EnablePartBar();
}

bool CDatabaseManagerDlg::CheckSelectedObjectsForValidDoctypes() {
    bool any = false;
    for (int item = m_parts.List().GetNextItem(-1, LVNI_SELECTED); item >= 0;
         item = m_parts.List().GetNextItem(item, LVNI_SELECTED)) {
        DATABASETYPE tier = DATABASETYPE_USER;
        const long objectID = m_parts.GetObjectID(item, tier);
        CMSAccessDBHandler* library = GetAccessDB(tier);  // the part's own library
        if (library == nullptr || !library->HasValidDoctypeWithTypeID(objectID)) {
            return false;
        }
        any = true;
    }
    return any;
}
