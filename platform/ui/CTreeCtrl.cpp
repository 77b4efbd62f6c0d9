#include "platform/ui/CTreeCtrl.h"

#include <QHeaderView>
#include <QTreeView>

#include "platform/ui/TreeItemModel.h"

namespace {

// The view, asking its owner before an edit starts.
class TreeView : public QTreeView {
public:
    TreeView(QWidget* parent, std::function<bool(HTREEITEM)>& mayEdit)
        : QTreeView(parent), m_mayEdit(mayEdit) {}
    bool Editing() const { return state() == EditingState; }

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override {
        const bool starts = (trigger & editTriggers()) != 0 || trigger == AllEditTriggers;
        if (starts && index.isValid() && m_mayEdit && !m_mayEdit(TreeItemModel::ItemOf(index))) {
            return false;
        }
        return QTreeView::edit(index, trigger, event);
    }

private:
    std::function<bool(HTREEITEM)>& m_mayEdit;
};

}  // namespace

CTreeCtrl::CTreeCtrl() : m_model(std::make_unique<TreeItemModel>()) {}

CTreeCtrl::~CTreeCtrl() {
    // The view goes first: it must neither outlive the model it shows nor call back into a
    // control that is half gone.
    DestroyWindow();
}

BOOL CTreeCtrl::Create(const CRect& rect, CWnd* parent, UINT id, bool editLabels) {
    auto owned = std::make_unique<TreeView>(nullptr, m_onBeginEdit);
    TreeView* view = owned.get();
    view->setHeaderHidden(true);
    view->setUniformRowHeights(true);
    view->setModel(m_model.get());
    view->setEditTriggers(editLabels ? QAbstractItemView::EditKeyPressed |
                                           QAbstractItemView::SelectedClicked
                                     : QAbstractItemView::NoEditTriggers);
    m_model->m_editable = editLabels;
    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentChanged, view, [this] {
        if (m_onSelChanged) {
            m_onSelChanged();
        }
    });
    QObject::connect(view, &QAbstractItemView::doubleClicked, view, [this] {
        if (m_onDoubleClick) {
            m_onDoubleClick();
        }
    });
    Adopt(std::move(owned), parent, rect, id);
    return TRUE;
}

QTreeView* CTreeCtrl::View() const {
    return qobject_cast<QTreeView*>(Widget());
}

HTREEITEM CTreeCtrl::InsertItem(const char* text, HTREEITEM parent) {
    return m_model->Append(parent, text);
}

BOOL CTreeCtrl::DeleteItem(HTREEITEM item) {
    if (item == nullptr) {
        return FALSE;
    }
    m_model->Remove(item);
    return TRUE;
}

BOOL CTreeCtrl::DeleteAllItems() {
    m_model->RemoveAll();
    return TRUE;
}

CString CTreeCtrl::GetItemText(HTREEITEM item) const {
    return item ? item->text : CString();
}

BOOL CTreeCtrl::SetItemText(HTREEITEM item, const char* text) {
    if (item == nullptr) {
        return FALSE;
    }
    m_model->SetText(item, text);
    return TRUE;
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM item) const {
    return item ? item->data : 0;
}

BOOL CTreeCtrl::SetItemData(HTREEITEM item, DWORD_PTR data) {
    if (item == nullptr) {
        return FALSE;
    }
    item->data = data;
    return TRUE;
}

HTREEITEM CTreeCtrl::GetRootItem() const {
    const auto& top = m_model->ChildrenOf(nullptr);
    return top.empty() ? nullptr : top.front().get();
}

HTREEITEM CTreeCtrl::GetParentItem(HTREEITEM item) const {
    return item ? item->parent : nullptr;
}

HTREEITEM CTreeCtrl::GetChildItem(HTREEITEM item) const {
    if (item == nullptr) {
        return GetRootItem();
    }
    return item->children.empty() ? nullptr : item->children.front().get();
}

HTREEITEM CTreeCtrl::GetNextSiblingItem(HTREEITEM item) const {
    if (item == nullptr) {
        return nullptr;
    }
    const auto& siblings = m_model->ChildrenOf(item->parent);
    const auto next = static_cast<std::size_t>(item->row) + 1;
    return next < siblings.size() ? siblings[next].get() : nullptr;
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM item) const {
    return item != nullptr && !item->children.empty();
}

int CTreeCtrl::GetCount() const {
    int count = 0;
    for (HTREEITEM at = GetRootItem(); at != nullptr;) {
        ++count;
        if (HTREEITEM child = GetChildItem(at)) {
            at = child;
            continue;
        }
        while (at != nullptr && GetNextSiblingItem(at) == nullptr) {
            at = at->parent;
        }
        at = at ? GetNextSiblingItem(at) : nullptr;
    }
    return count;
}

BOOL CTreeCtrl::SortChildren(HTREEITEM item) {
    m_model->SortChildren(item);
    return TRUE;
}

BOOL CTreeCtrl::Expand(HTREEITEM item, UINT code) {
    if (item == nullptr || View() == nullptr) {
        return FALSE;
    }
    View()->setExpanded(m_model->IndexOf(item), (code & TVE_EXPAND) != 0);
    return TRUE;
}

BOOL CTreeCtrl::SelectItem(HTREEITEM item) {
    if (View() == nullptr) {
        return FALSE;
    }
    View()->setCurrentIndex(m_model->IndexOf(item));
    return item == nullptr || GetSelectedItem() == item;
}

HTREEITEM CTreeCtrl::GetSelectedItem() const {
    return View() ? TreeItemModel::ItemOf(View()->currentIndex()) : nullptr;
}

BOOL CTreeCtrl::EditLabel(HTREEITEM item) {
    if (item == nullptr || View() == nullptr || !m_model->m_editable) {
        return FALSE;
    }
    // A label is edited where it can be seen.
    EnsureVisible(item);
    View()->setFocus();
    View()->edit(m_model->IndexOf(item));
    return IsEditing();
}

bool CTreeCtrl::IsEditing() const {
    const auto* view = static_cast<const TreeView*>(View());
    return view != nullptr && view->Editing();
}

HTREEITEM CTreeCtrl::HitTest(const CPoint& point) const {
    return View() ? TreeItemModel::ItemOf(View()->indexAt(QPoint(point.x, point.y))) : nullptr;
}

HTREEITEM CTreeCtrl::GetFirstVisibleItem() const {
    return View() ? TreeItemModel::ItemOf(View()->indexAt(QPoint(1, 1))) : nullptr;
}

HTREEITEM CTreeCtrl::GetNextVisibleItem(HTREEITEM item) const {
    return View() && item ? TreeItemModel::ItemOf(View()->indexBelow(m_model->IndexOf(item)))
                          : nullptr;
}

BOOL CTreeCtrl::EnsureVisible(HTREEITEM item) {
    if (item == nullptr || View() == nullptr) {
        return FALSE;
    }
    for (HTREEITEM above = item->parent; above != nullptr; above = above->parent) {
        View()->expand(m_model->IndexOf(above));
    }
    View()->scrollTo(m_model->IndexOf(item));
    return TRUE;
}

BOOL CTreeCtrl::SelectSetFirstVisible(HTREEITEM item) {
    if (!EnsureVisible(item)) {
        return FALSE;
    }
    View()->scrollTo(m_model->IndexOf(item), QAbstractItemView::PositionAtTop);
    return TRUE;
}

void CTreeCtrl::SetRedraw(BOOL redraw) {
    redraw ? m_model->EndBatch() : m_model->BeginBatch();
}

void CTreeCtrl::OnDoubleClick(std::function<void()> handler) {
    m_onDoubleClick = std::move(handler);
}

void CTreeCtrl::OnSelChanged(std::function<void()> handler) {
    m_onSelChanged = std::move(handler);
}

void CTreeCtrl::OnBeginLabelEdit(std::function<bool(HTREEITEM)> handler) {
    m_onBeginEdit = std::move(handler);
}

void CTreeCtrl::OnEndLabelEdit(std::function<bool(HTREEITEM, const CString&)> handler) {
    m_model->m_onEdited = std::move(handler);
}
