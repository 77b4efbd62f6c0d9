// The store dialog's check list: its bar, its context menu, and the commands of both.

#include "dialogs/CStoreObjectsDlg.h"
#include "platform/ui/CMenu.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"

namespace {

constexpr int kCheckPopup = 2;  // "Check" in the module's menu

}  // namespace

// Each bar takes the place of the list it frames.
void CStoreObjectsDlg::MakeBars() {
    m_checkBar.Create(this, m_checkList);
    m_checkBar.AddButton(IDB_BUTTON_RENAME, ModuleString(IDS_CHECK_RENAME), VK_F2, 0,
                         ID_CHECK_RENAME);
    m_checkBar.AddButton(IDB_BUTTON_SELECT_ALL, ModuleString(IDS_CHECK_SELECT_ALL), 'A', FCONTROL,
                         ID_CHECK_SELECT_ALL);
    m_checkBar.AddButton(IDB_BUTTON_UNSELECT_ALL, ModuleString(IDS_CHECK_UNSELECT_ALL), 0, 0,
                         ID_CHECK_UNSELECT_ALL);
    m_checkBar.SetCaption(ModuleString(IDS_BAR_AVAILABLE_PARTS));
    ReplaceControl(IDC_CHECK_LIST, m_checkBar);
    m_partBar.Create(this, m_parts);
    m_partBar.SetCaption(ModuleString(IDS_BAR_AVAILABLE_PARTS));
    ReplaceControl(IDC_OBJECTCBO, m_partBar);
}

void CStoreObjectsDlg::EnableCheckBar() {
    const auto enable = [this](UINT command, bool enabled) {
        m_checkBar.EnableButton(m_checkBar.GetButtonNum(command), enabled);
    };
    enable(ID_CHECK_RENAME,
           m_checkList.GetSelCount() == 1 && m_checkList.GetCaretIndex() != LB_ERR);
    enable(ID_CHECK_SELECT_ALL, m_checkList.ContainPartNotInLibrary());
    enable(ID_CHECK_UNSELECT_ALL, m_checkList.GetCheckCount() > 0);
}

BOOL CStoreObjectsDlg::OnCommand(UINT id) {
    switch (id) {
        case ID_CHECK_RENAME:
            if (m_checkList.GetSelCount() <= 1 && m_checkList.GetCaretIndex() != LB_ERR) {
                m_checkList.Rename();
            }
            return TRUE;
        case ID_CHECK_SELECT_ALL:
            SelectAll(true);
            return TRUE;
        case ID_CHECK_UNSELECT_ALL:
            SelectAll(false);
            return TRUE;
        default:
            return CModuleDialog::OnCommand(id);
    }
}

// Ticks every line whose name is free, or unticks every line.
void CStoreObjectsDlg::SelectAll(bool tick) {
    for (int i = 0; i < m_checkList.GetCount(); ++i) {
        if (!tick || m_checkList.CanCheck(i)) {
            m_checkList.SetCheck(i, tick ? 1 : 0);
        }
    }
    OnListSelChange();
}

void CStoreObjectsDlg::OnContextMenu(CPoint point) {
    CMenu menu;
    if (m_mode != 1 || !menu.LoadMenu(IDR_DATABASE_MENU)) {
        return;
    }
    CMenu* popup = menu.GetSubMenu(kCheckPopup);
    if (popup == nullptr) {
        return;
    }
    const auto gray = [popup](UINT command, bool enabled) {
        popup->EnableMenuItem(command, enabled ? MF_ENABLED : MF_GRAYED);
    };
    gray(ID_CHECK_RENAME, m_checkList.GetSelCount() == 1);
    gray(ID_CHECK_SELECT_ALL, m_checkList.ContainPartNotInLibrary());
    gray(ID_CHECK_UNSELECT_ALL, m_checkList.GetCheckCount() > 0);
    popup->TrackPopupMenu(TPM_RIGHTBUTTON, static_cast<int>(point.x), static_cast<int>(point.y),
                          this);
}
