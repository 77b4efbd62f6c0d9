// The Database Manager's button bars and context menus, and what enables their commands.

#include <vector>

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "dialogs/CDatabaseManagerDlg.h"
#include "host/CDrwSubSheet.h"
#include "host/CSet.h"
#include "host/CurrentDesign.h"
#include "platform/ui/CMenu.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"

namespace {

struct BarButton {
    UINT image;
    UINT tooltip;
    UINT key;
    UINT keyFlags;
    UINT command;
};

constexpr BarButton kTreeButtons[] = {
    {IDB_BUTTON_NEW, IDS_TREE_NEW, 'N', FCONTROL, ID_TREE_NEW},
    {IDB_BUTTON_ADD, IDS_TREE_ADD, 0, 0, ID_TREE_ADD},
    {IDB_BUTTON_DELETE, IDS_DELETE, VK_DELETE, 0, ID_TREE_DELETE},
    {IDB_BUTTON_RENAME, IDS_TREE_RENAME, VK_F2, 0, ID_TREE_RENAME},
    {IDB_BUTTON_COPY, IDS_TREE_COPY, 0, 0, ID_TREE_COPY},
    {IDB_BUTTON_MOVE, IDS_TREE_MOVE, 0, 0, ID_TREE_MOVE},
};

constexpr BarButton kPartButtons[] = {
    {IDB_BUTTON_NEW, IDS_PART_NEW, 'N', FCONTROL, ID_OBJECT_NEW},
    {IDB_BUTTON_EDIT, IDS_PART_EDIT, 0, 0, ID_OBJECT_EDIT},
    {IDB_BUTTON_DELETE, IDS_DELETE, VK_DELETE, 0, ID_OBJECT_DELETE},
    {IDB_BUTTON_RENAME, IDS_TREE_RENAME, VK_F2, 0, ID_OBJECT_RENAME},
    {IDB_BUTTON_COPY, IDS_TREE_COPY, 0, 0, ID_OBJECT_COPY},
    {IDB_BUTTON_MOVE, IDS_TREE_MOVE, 0, 0, ID_OBJECT_MOVE},
};

template <std::size_t N>
void AddButtons(CDynamicWindowWithButtons& bar, const BarButton (&buttons)[N]) {
    for (const BarButton& button : buttons) {
        bar.AddButton(button.image, ModuleString(button.tooltip), button.key, button.keyFlags,
                      button.command);
    }
}

void Enable(CDynamicWindowWithButtons& bar, UINT command, bool enable) {
    bar.EnableButton(bar.GetButtonNum(command), enable);
}

void Gray(CMenu& popup, UINT command, bool enable) {
    popup.EnableMenuItem(command, enable ? MF_ENABLED : MF_GRAYED);
}

// Whether the open design has objects that can go into a library.
bool SomethingToAdd() {
    const CDrwSubSheet* sheet = GetDrwSubSheet();
    if (sheet == nullptr) {
        return false;
    }
    std::vector<CDrwSubSheet::ValidLibraryObject> valid;
    sheet->GetObjectsValidForLibrary(valid);
    return !valid.empty();
}

}  // namespace

// Each bar takes the place of the window it frames in the dialog.
void CDatabaseManagerDlg::MakeBars() {
    m_treeBar.Create(this, m_tree);
    AddButtons(m_treeBar, kTreeButtons);
    m_treeBar.SetCaption(ModuleString(IDS_BAR_DATABASE));
    ReplaceControl(IDC_OBJECT_TREE, m_treeBar);
    m_partBar.Create(this, m_parts);
    AddButtons(m_partBar, kPartButtons);
    m_partBar.SetCaption(ModuleString(IDS_BAR_PARTS));
    ReplaceControl(IDC_OBJECTCBO, m_partBar);
}

bool CDatabaseManagerDlg::CategoryModifiable() {
    DATABASETYPE tier = DATABASETYPE_USER;
    return m_tree.GetSelectedID(tier) != -1 &&
           (tier != DATABASETYPE_MASTER || MasterEditPermitted());
}

bool CDatabaseManagerDlg::PartsModifiable() {
    return m_parts.List().GetSelectedCount() > 0 &&
           (!TestForTypesInSelection(DATABASETYPE_MASTER) || MasterEditPermitted());
}

void CDatabaseManagerDlg::EnableTreeBar() {
    const bool modifiable = CategoryModifiable();
    DATABASETYPE tier = DATABASETYPE_USER;
    const bool below = m_tree.GetSelectedID(tier) != -1 && !m_tree.IsTopMostSelected();
    Enable(m_treeBar, ID_TREE_NEW, modifiable);
    Enable(m_treeBar, ID_TREE_ADD, modifiable && SomethingToAdd());
    for (const UINT command : {ID_TREE_RENAME, ID_TREE_DELETE, ID_TREE_MOVE}) {
        Enable(m_treeBar, command, modifiable && below);
    }
    Enable(m_treeBar, ID_TREE_COPY, below);
}

// Worked out anew on every change of the selection, for this dialog alone.
void CDatabaseManagerDlg::EnablePartBar() {
    const int selected = m_parts.List().GetSelectedCount();
    const bool modifiable = PartsModifiable();
    const bool valid = CheckSelectedObjectsForValidDoctypes();
    Enable(m_partBar, ID_OBJECT_DELETE, modifiable);
    Enable(m_partBar, ID_OBJECT_MOVE, modifiable);
    Enable(m_partBar, ID_OBJECT_RENAME, modifiable && selected == 1 && valid);
    Enable(m_partBar, ID_OBJECT_EDIT, modifiable && selected == 1 && valid);
    Enable(m_partBar, ID_OBJECT_COPY, selected > 0 && valid);
}

void CDatabaseManagerDlg::GrayTreeMenu(CMenu& popup) {
    const bool modifiable = CategoryModifiable();
    DATABASETYPE tier = DATABASETYPE_USER;
    const bool below = m_tree.GetSelectedID(tier) != -1 && !m_tree.IsTopMostSelected();
    Gray(popup, ID_TREE_ADD, modifiable && SomethingToAdd());
    Gray(popup, ID_TREE_NEW, modifiable);
    for (const UINT command : {ID_TREE_RENAME, ID_TREE_DELETE, ID_TREE_MOVE}) {
        Gray(popup, command, modifiable && below);
    }
    Gray(popup, ID_TREE_COPY, below);
}

void CDatabaseManagerDlg::GrayPartMenu(CMenu& popup) {
    const int selected = m_parts.List().GetSelectedCount();
    const bool modifiable = PartsModifiable();
    Gray(popup, ID_OBJECT_COPY, selected > 0);
    Gray(popup, ID_OBJECT_DELETE, modifiable);
    Gray(popup, ID_OBJECT_MOVE, modifiable);
    Gray(popup, ID_OBJECT_EDIT, modifiable && selected == 1);
    Gray(popup, ID_OBJECT_RENAME, modifiable && selected == 1);
}

// A right click chooses what it is on (a category; a part not yet among the chosen ones) before
// the menu shows.
void CDatabaseManagerDlg::OnContextMenu(CWnd* window, CPoint point) {
    CMenu menu;  // this module's, current while the dialog runs
    if (!menu.LoadMenu(IDR_DATABASE_MENU)) {
        return;
    }
    CPoint inside = point;
    window->ScreenToClient(&inside);
    CMenu* popup = nullptr;
    if (window == &m_tree) {
        HTREEITEM hit = m_tree.HitTest(inside);
        if (hit == nullptr) {
            return;
        }
        m_tree.SelectItem(hit);
        popup = menu.GetSubMenu(1);
        GrayTreeMenu(*popup);
    } else if (window == &m_parts.List()) {
        CListCtrl& list = m_parts.List();
        const int hit = list.HitTest(inside);
        if (hit < 0 || (list.GetItemState(hit, LVIS_SELECTED) & LVIS_SELECTED) == 0) {
            list.SetItemState(-1, 0, LVIS_SELECTED);
            if (hit >= 0) {
                list.SetItemState(hit, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            }
        }
        popup = menu.GetSubMenu(0);
        GrayPartMenu(*popup);
    }
    if (popup != nullptr) {
        popup->TrackPopupMenu(TPM_RIGHTBUTTON, static_cast<int>(point.x), static_cast<int>(point.y),
                              this);
    }
}
