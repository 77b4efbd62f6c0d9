#include "dialogs/CSelectObjectDlg.h"

#include <vector>

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "host/CDrwGroup.h"
#include "platform/afx/AfxMessageBox.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"

namespace {

// What the message about a missing name calls the types asked for: the description of each
// type of a filter such as "Footprint|Pad-Stack|", as in "Footprint or Pad Stack".
CString DescribeTypes(CMSAccessDBHandler* library, const CString& docTypes) {
    std::vector<CString> described;
    int start = 0;
    for (CString type = docTypes.Tokenize("|", start); start != -1;
         type = docTypes.Tokenize("|", start)) {
        described.push_back(library ? library->GetDocTypeDescrption(type) : type);
    }
    CString text;
    for (std::size_t i = 0; i < described.size(); ++i) {
        text += i == 0 ? "" : i + 1 == described.size() ? " or " : ", ";
        text += described[i];
    }
    return text;
}

}  // namespace

CSelectObjectDlg::CSelectObjectDlg(CWnd* parent) : CPreviewDialog(IDD_SELECT_OBJECT, parent) {}

CSelectObjectDlg::~CSelectObjectDlg() = default;

bool CSelectObjectDlg::Init(const CString& docType, long objectID) {
    m_strInitialDocType = docType;
    m_startObjectID = objectID;
    return true;
}

bool CSelectObjectDlg::Init(const CString& docType, const CString& name) {
    m_strInitialDocType = docType;
    m_startName = name;
    return true;
}

void CSelectObjectDlg::SetTempLayerAndColorDef(CLayerDefinition* layers,
                                               CColorDefinition* colours) {
    m_pLayers = layers;
    m_pColours = colours;
}

void CSelectObjectDlg::ClearDrawGroup() {
    (void)TakeLoadedGroup().release();  // the caller holds it since GetDrawGroup
}

void CSelectObjectDlg::DoDataExchange(CDataExchange* pDX) {
    CPreviewDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_OBJECT_TYPE, m_types);
    DDX_Check(pDX, IDC_SHOW_SUBTREE, m_showSubTree);
}

BOOL CSelectObjectDlg::OnInitDialog() {
    CPreviewDialog::OnInitDialog();
    m_registry.SetSection(m_strInitialDocType, GetWindowText());
    m_showSubTree = m_registry.GetMustShowSubTreeItems() != 0 ? 1 : 0;
    m_tree.Create(CRect{0, 0, 10, 10}, this, true);
    ReplaceControl(IDC_OBJECT_TREE, m_tree);
    m_parts.Create(CRect{0, 0, 10, 10}, this, IDC_OBJECTCBO);
    ReplaceControl(IDC_OBJECTCBO, m_parts);
    CreatePreviewControls();
    m_tree.OnSelChanged([this] { OnTreeChange(); });
    m_types.OnSelChange([this] {
        if (!m_refillingTypes) {
            OnFilterChange();
        }
    });
    m_parts.OnNotify(
        [this](int code) { code == OBJECTCBO_DBLCLK ? OnObjectSelected() : OnObjectChange(); });
    m_showSubTreeButton.Attach(GetDlgItem(IDC_SHOW_SUBTREE)->Widget());
    m_showSubTreeButton.OnClicked([this] { OnShowsubtreecontents(); });
    m_types.EnableWindow(m_allowTypeChange ? TRUE : FALSE);
    UpdateData(FALSE);
    UpdateControls();
    ShowFirstTime();
    m_tree.SetFocus();
    return FALSE;
}

void CSelectObjectDlg::StartIn(DATABASETYPE tier, long categoryID) {
    m_startCategory = {tier, categoryID};
}

// Opens on the category last used (or the one asked for), filtered by the type the host asked
// for (every type when it asked for none), on the part it named.
void CSelectObjectDlg::ShowFirstTime() {
    long lastTier = 0;
    long lastTreeID = m_registry.GetLastLocation(lastTier);
    if (m_startCategory) {
        lastTier = m_startCategory->first;
        lastTreeID = m_startCategory->second;
    }
    m_strDocType = m_strInitialDocType;
    RefillObjectTypes(static_cast<DATABASETYPE>(lastTier));
    if (m_strDocType.IsEmpty()) {
        m_types.GetObjectDocType(m_strDocType);
    }
    m_parts.m_strDocTypeFilter = m_strDocType;
    m_tree.Init(lastTreeID, static_cast<DATABASETYPE>(lastTier));
    if (m_startObjectID > 0) {
        m_parts.SelectObject(m_startObjectID, m_currentDatabase);
    } else if (!m_startName.IsEmpty()) {
        m_parts.SetObjectName(m_startName);
    }
}

void CSelectObjectDlg::RefillObjectTypes(DATABASETYPE tier) {
    m_refillingTypes = true;
    m_types.Init(tier, m_strDocType);
    m_refillingTypes = false;
}

void CSelectObjectDlg::OnTreeChange() {
    CWaitCursor wait;
    CString filter;
    DATABASETYPE tier = static_cast<DATABASETYPE>(0);
    if (m_tree.GetStringOfIDs(filter, m_showSubTree, tier)) {
        RefillObjectTypes(tier);
        m_currentDatabase = tier;
        m_parts.FillList(filter, tier);
    } else {
        m_parts.ClearList();
    }
}

void CSelectObjectDlg::OnShowsubtreecontents() {
    UpdateData(TRUE);
    OnTreeChange();
}

void CSelectObjectDlg::OnFilterChange() {
    if (!m_types.GetObjectDocType(m_strDocType)) {
        return;
    }
    m_parts.m_strDocTypeFilter = m_strDocType;
    CString filter;
    DATABASETYPE tier = m_currentDatabase;
    if (m_tree.GetStringOfIDs(filter, m_showSubTree, tier)) {
        m_parts.FillList(filter, m_currentDatabase);
    } else {
        m_parts.ClearList();
    }
}

void CSelectObjectDlg::EnableOk(bool enable) {
    if (CWnd* ok = GetDlgItem(IDC_OK)) {
        ok->EnableWindow(enable ? TRUE : FALSE);
    }
}

// A part that cannot be read is not taken: no part is chosen, OK is disabled and the preview
// says why.
void CSelectObjectDlg::OnObjectChange() {
    long objectID = -1;
    DATABASETYPE tier = m_currentDatabase;
    CMSAccessDBHandler* library = nullptr;
    if (!m_parts.GetSelectedObjectID(objectID, tier) || (library = GetAccessDB(tier)) == nullptr) {
        EnableOk(false);
        ClearPreview();
        m_lastLoadedID = -1;
        return;
    }
    // Ids count in their own library: the same id in another one is another part.
    if (objectID != m_lastLoadedID || tier != m_lastLoadedTier) {
        m_strDocType = m_strInitialDocType;
        RefillObjectTypes(m_currentDatabase);
        const long typeID = LoadIntoPreview(*library, objectID, m_pLayers, m_pColours);
        m_lastLoadedID = typeID < 0 ? -1 : objectID;
        m_lastLoadedTier = tier;
        m_partDocType = typeID < 0 ? CString() : library->GetDocType(typeID);
    }
    EnableOk(m_lastLoadedID > 0 && library->HasValidDoctypeWithTypeID(m_lastLoadedID));
}

void CSelectObjectDlg::OnObjectSelected() {
    OnObjectChange();
    if (GetDlgItem(IDC_OK) != nullptr && GetDlgItem(IDC_OK)->IsWindowEnabled()) {
        OnOK();
    }
}

void CSelectObjectDlg::OnOK() {
    UpdateData(TRUE);
    long objectID = -1;
    DATABASETYPE tier = m_currentDatabase;
    if (m_parts.GetSelectedObjectID(objectID, tier)) {
        long treeID = -1;
        DATABASETYPE treeTier = DATABASETYPE_USER;
        if (m_tree.GetObjectTreeID(treeID, treeTier)) {
            m_registry.SetLastLocation(treeID, m_currentDatabase);
        }
        CString name;
        if (m_parts.GetCurrentName(name)) {
            m_registry.SetLastObjectName(name);
        }
        m_registry.SetMustShowSubTreeItems(m_showSubTree);
        CPreviewDialog::OnOK();
        return;
    }
    m_registry.SetMustShowSubTreeItems(m_showSubTree);
    CMSAccessDBHandler* library = GetAccessDB(m_currentDatabase);
    CString message = ModuleString(IDS_NO_SUCH_NAME);
    message.Replace("%1", DescribeTypes(library, m_strDocType));
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
}
