#pragma once
// A menu: a menu resource of the current resource module, loaded into plain items that can be
// grayed, checked and removed before it is shown. A popup is shown at a point with
// TrackPopupMenu; the command chosen goes to the owner window's OnCommand. Who shows it is the
// popup runner: in the program a Qt menu, in tests a script that picks as the user would.

#include <functional>
#include <memory>
#include <vector>

#include "platform/afx/CString.h"
#include "platform/ui/CWnd.h"

class QMenu;
class QWidget;

constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_RETURNCMD = 0x0100;

class CMenu {
public:
    struct Item {
        UINT id = 0;  // 0 for a separator and for a popup
        CString text;
        CString prompt;
        bool grayed = false;
        bool checked = false;
        std::unique_ptr<CMenu> popup;  // for a popup item
    };

    CMenu();
    ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    // Menu `id` of the current resource module; FALSE when it has none.
    BOOL LoadMenu(UINT id);
    BOOL DestroyMenu();

    int GetMenuItemCount() const { return static_cast<int>(m_items.size()); }
    // The popup at `position`, or null. Owned by this menu (also once removed from it).
    CMenu* GetSubMenu(int position) const;
    // The command at `position`: 0 for a separator, (UINT)-1 for a popup or outside the menu.
    UINT GetMenuItemID(int position) const;
    // Each gives the item's previous state (MF_GRAYED, MF_CHECKED bits), or (UINT)-1 when there
    // is no such item. An item is named by command or, with MF_BYPOSITION, by position.
    UINT EnableMenuItem(UINT item, UINT flags);
    UINT CheckMenuItem(UINT item, UINT flags);
    UINT GetMenuState(UINT item, UINT flags) const;
    // Takes the item out of the menu; a popup taken out stays alive with this menu.
    BOOL RemoveMenu(UINT item, UINT flags);

    // Shows the menu at `x`, `y` (screen). The chosen command goes to `owner`'s OnCommand, or,
    // with TPM_RETURNCMD, is returned (0 for none). Without TPM_RETURNCMD: TRUE when a command
    // was chosen.
    UINT TrackPopupMenu(UINT flags, int x, int y, CWnd* owner);

    const std::vector<Item>& Items() const { return m_items; }
    // The Qt menu this menu shows as, its actions carrying their commands as data.
    std::unique_ptr<QMenu> MakeQMenu(QWidget* parent) const;

    // Shows `menu` at `at` and gives the command chosen, 0 for none. Returns the previous runner;
    // an empty one restores the program's.
    using PopupRunner = std::function<UINT(const CMenu& menu, CPoint at)>;
    static PopupRunner SetPopupRunner(PopupRunner runner);

private:
    Item* Find(UINT item, UINT flags);
    const Item* Find(UINT item, UINT flags) const;

    std::vector<Item> m_items;
    std::vector<std::unique_ptr<CMenu>> m_removed;  // popups taken out, still handed around
};
