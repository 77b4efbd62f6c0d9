#include "dialogs/CSelectLibraryDestination.h"

#include "dialogs/LibraryChoices.h"
#include "host/CSet.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/ui/CDialog.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"

CSelectLibraryDestination::CSelectLibraryDestination(CWnd* parent)
    : CModuleDialog(IDD_SELECT_DESTINATION, parent) {}

CSelectLibraryDestination::~CSelectLibraryDestination() = default;

BOOL CSelectLibraryDestination::OnInitDialog() {
    CModuleDialog::OnInitDialog();
    m_tree.Create(CRect{0, 0, 10, 10}, this, false);
    MakeCategoryBar(m_buttons, this, m_tree);
    ReplaceControl(IDC_OBJECT_TREE, m_buttons);
    m_tree.OnSelChanged([this] { OnSelChanged(); });
    m_tree.OnDoubleClick([this] { OnOK(); });
    {
        CWaitCursor wait;
        long lastTier = 0;
        const long lastTreeID = m_registry.GetLastLocation(lastTier);
        m_tree.Init(lastTreeID, static_cast<DATABASETYPE>(lastTier));
    }
    OnSelChanged();
    m_tree.SetFocus();
    return FALSE;
}

void CSelectLibraryDestination::OnSelChanged() {
    DATABASETYPE tier = DATABASETYPE_USER;
    const bool chosen = m_tree.GetSelectedID(tier) != -1;
    const bool below = chosen && !m_tree.IsTopMostSelected();
    m_buttons.EnableButton(m_buttons.GetButtonNum(ID_TREE_NEW), chosen);
    m_buttons.EnableButton(m_buttons.GetButtonNum(ID_TREE_DELETE), below);
    m_buttons.EnableButton(m_buttons.GetButtonNum(ID_TREE_RENAME), below);
    GetDlgItem(IDC_OK)->EnableWindow(chosen ? TRUE : FALSE);
}

// The owner's rights alone would let a locked master library be chosen, only for the copy or
// move to be refused after: the lock is said here, before anything starts.
bool CSelectLibraryDestination::RightsOnSelection() {
    DATABASETYPE tier = DATABASETYPE_USER;
    if (m_tree.GetSelectedID(tier) != -1 && tier == DATABASETYPE_MASTER && !MasterEditPermitted()) {
        AfxMessageBox(ModuleString(IDS_MASTER_LOCKED), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return m_tree.TestForSelectionRightsAndCancel();
}

BOOL CSelectLibraryDestination::OnCommand(UINT id) {
    if (id != ID_TREE_NEW && id != ID_TREE_DELETE && id != ID_TREE_RENAME) {
        return CModuleDialog::OnCommand(id);
    }
    if (RightsOnSelection()) {
        if (id == ID_TREE_NEW) {
            m_tree.AddChild(CObjectTreeCtrl::kNewCategoryName);
        } else if (id == ID_TREE_DELETE) {
            m_tree.Delete(nullptr);
        } else {
            m_tree.Rename(nullptr);
        }
    }
    return TRUE;
}

void CSelectLibraryDestination::OnOK() {
    if (RightsOnSelection() && m_tree.GetObjectTreeID(m_lSelectedID, m_eDatabaseType)) {
        CModuleDialog::OnOK();
    }
}
