#include "platform/ui/CMenu.h"

#include <QAction>
#include <QMenu>

#include "platform/afx/CResourceModule.h"

namespace {

UINT StateOf(const CMenu::Item& item) {
    return (item.grayed ? MF_GRAYED : 0) | (item.checked ? MF_CHECKED : 0) |
           (item.popup ? MF_POPUP : 0) | (item.id == 0 && !item.popup ? MF_SEPARATOR : 0);
}

UINT RunQtMenu(const CMenu& menu, CPoint at) {
    const std::unique_ptr<QMenu> shown = menu.MakeQMenu(nullptr);
    const QAction* chosen = shown->exec(QPoint(static_cast<int>(at.x), static_cast<int>(at.y)));
    return chosen != nullptr ? chosen->data().toUInt() : 0;
}

CMenu::PopupRunner& Runner() {
    static CMenu::PopupRunner runner = RunQtMenu;
    return runner;
}

}  // namespace

CMenu::CMenu() = default;

CMenu::~CMenu() = default;

BOOL CMenu::LoadMenu(UINT id) {
    const HINSTANCE module = AfxGetResourceHandle();
    const CMenuTemplate* resource = module != nullptr ? module->FindMenu(id) : nullptr;
    if (resource == nullptr) {
        return FALSE;
    }
    DestroyMenu();
    for (const MenuPopupTemplate& popupTemplate : resource->popups) {
        auto popup = std::make_unique<CMenu>();
        for (const MenuItemTemplate& entry : popupTemplate.items) {
            popup->m_items.push_back({entry.id, entry.text, entry.prompt, false, false, nullptr});
        }
        m_items.push_back({0, popupTemplate.text, "", false, false, std::move(popup)});
    }
    return TRUE;
}

BOOL CMenu::DestroyMenu() {
    const bool had = !m_items.empty() || !m_removed.empty();
    m_items.clear();
    m_removed.clear();
    return had ? TRUE : FALSE;
}

CMenu* CMenu::GetSubMenu(int position) const {
    return position >= 0 && position < GetMenuItemCount()
               ? m_items[static_cast<std::size_t>(position)].popup.get()
               : nullptr;
}

UINT CMenu::GetMenuItemID(int position) const {
    if (position < 0 || position >= GetMenuItemCount()) {
        return static_cast<UINT>(-1);
    }
    const Item& item = m_items[static_cast<std::size_t>(position)];
    return item.popup ? static_cast<UINT>(-1) : item.id;
}

const CMenu::Item* CMenu::Find(UINT item, UINT flags) const {
    if (flags & MF_BYPOSITION) {
        return item < m_items.size() ? &m_items[item] : nullptr;
    }
    for (const Item& entry : m_items) {
        if (entry.popup) {
            if (const Item* inner = entry.popup->Find(item, flags)) {
                return inner;
            }
        } else if (entry.id != 0 && entry.id == item) {
            return &entry;
        }
    }
    return nullptr;
}

CMenu::Item* CMenu::Find(UINT item, UINT flags) {
    return const_cast<Item*>(static_cast<const CMenu*>(this)->Find(item, flags));
}

UINT CMenu::EnableMenuItem(UINT item, UINT flags) {
    Item* entry = Find(item, flags);
    if (entry == nullptr) {
        return static_cast<UINT>(-1);
    }
    const UINT previous = StateOf(*entry) & MF_GRAYED;
    entry->grayed = (flags & (MF_GRAYED | MF_DISABLED)) != 0;
    return previous;
}

UINT CMenu::CheckMenuItem(UINT item, UINT flags) {
    Item* entry = Find(item, flags);
    if (entry == nullptr) {
        return static_cast<UINT>(-1);
    }
    const UINT previous = StateOf(*entry) & MF_CHECKED;
    entry->checked = (flags & MF_CHECKED) != 0;
    return previous;
}

UINT CMenu::GetMenuState(UINT item, UINT flags) const {
    const Item* entry = Find(item, flags);
    return entry != nullptr ? StateOf(*entry) : static_cast<UINT>(-1);
}

BOOL CMenu::RemoveMenu(UINT item, UINT flags) {
    for (auto it = m_items.begin(); it != m_items.end(); ++it) {
        const bool named = (flags & MF_BYPOSITION) ? static_cast<UINT>(it - m_items.begin()) == item
                                                   : (!it->popup && it->id != 0 && it->id == item);
        if (named) {
            if (it->popup) {
                m_removed.push_back(std::move(it->popup));
            }
            m_items.erase(it);
            return TRUE;
        }
    }
    return FALSE;
}

UINT CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner) {
    const UINT chosen = Runner()(*this, CPoint{x, y});
    if (flags & TPM_RETURNCMD) {
        return chosen;
    }
    if (chosen != 0 && owner != nullptr) {
        owner->OnCommand(chosen);
    }
    return chosen != 0 ? TRUE : FALSE;
}

std::unique_ptr<QMenu> CMenu::MakeQMenu(QWidget* parent) const {
    auto menu = std::make_unique<QMenu>(parent);
    for (const Item& item : m_items) {
        if (item.popup) {
            QMenu* inner = item.popup->MakeQMenu(menu.get()).release();
            inner->setTitle(QString::fromUtf8(item.text.GetString()));
            menu->addMenu(inner);
        } else if (item.id == 0) {
            menu->addSeparator();
        } else {
            QAction* action = menu->addAction(QString::fromUtf8(item.text.GetString()));
            action->setData(item.id);
            action->setStatusTip(QString::fromUtf8(item.prompt.GetString()));
            action->setEnabled(!item.grayed);
            action->setCheckable(item.checked);
            action->setChecked(item.checked);
        }
    }
    return menu;
}

CMenu::PopupRunner CMenu::SetPopupRunner(PopupRunner runner) {
    PopupRunner previous = Runner();
    Runner() = runner ? std::move(runner) : PopupRunner(RunQtMenu);
    return previous;
}
