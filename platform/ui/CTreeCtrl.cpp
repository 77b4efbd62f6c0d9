#include "platform/ui/CTreeCtrl.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTimer>
#include <QTreeView>

#include "platform/ui/TreeItemModel.h"

namespace {

// The view, asking its owner before an edit starts.
class TreeView : public QTreeView {
public:
    TreeView(QWidget* parent, std::function<bool(HTREEITEM)>& mayEdit,
             std::function<void(HTREEITEM)>& beginDrag)
        : QTreeView(parent), m_mayEdit(mayEdit), m_beginDrag(beginDrag) {}
    bool Editing() const { return state() == EditingState; }
    void ScrollOneLine(int direction) {
        verticalScrollBar()->triggerAction(direction < 0 ? QAbstractSlider::SliderSingleStepSub
                                                         : QAbstractSlider::SliderSingleStepAdd);
    }

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override {
        const bool starts = (trigger & editTriggers()) != 0 || trigger == AllEditTriggers;
        if (starts && index.isValid() && m_mayEdit && !m_mayEdit(TreeItemModel::ItemOf(index))) {
            return false;
        }
        return QTreeView::edit(index, trigger, event);
    }
    // The owner runs the drag of the item pressed.
    void startDrag(Qt::DropActions) override {
        if (m_beginDrag && currentIndex().isValid()) {
            m_beginDrag(TreeItemModel::ItemOf(currentIndex()));
        }
    }

private:
    std::function<bool(HTREEITEM)>& m_mayEdit;
    std::function<void(HTREEITEM)>& m_beginDrag;
};

// Pixels from the top or bottom edge within which a drag scrolls the view.
constexpr int kDragScrollMargin = 16;
constexpr int kDragScrollIntervalMs = 100;

}  // namespace

CTreeCtrl::CTreeCtrl()
    : m_model(std::make_unique<TreeItemModel>()),
      m_expandTimer(std::make_unique<QTimer>()),
      m_scrollTimer(std::make_unique<QTimer>()) {
    m_expandTimer->setSingleShot(true);
    m_expandTimer->setInterval(kDragExpandDelayMs);
    QObject::connect(m_expandTimer.get(), &QTimer::timeout, [this] {
        if (m_hovered != nullptr) {
            Expand(m_hovered, TVE_EXPAND);
        }
    });
    m_scrollTimer->setInterval(kDragScrollIntervalMs);
    QObject::connect(m_scrollTimer.get(), &QTimer::timeout, [this] {
        if (auto* view = static_cast<TreeView*>(View())) {
            view->ScrollOneLine(m_scrollDirection);
        }
    });
}

CTreeCtrl::~CTreeCtrl() {
    // The view goes first: it must neither outlive the model it shows nor call back into a
    // control that is half gone.
    DestroyWindow();
}

BOOL CTreeCtrl::Create(const CRect& rect, CWnd* parent, UINT id, bool editLabels) {
    auto owned = std::make_unique<TreeView>(nullptr, m_onBeginEdit, m_onBeginDrag);
    TreeView* view = owned.get();
    view->setHeaderHidden(true);
    view->setUniformRowHeights(true);
    view->setDragEnabled(static_cast<bool>(m_onBeginDrag));
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
    EndDragHover();  // the item under a drag may be among those going
    m_model->Remove(item);
    return TRUE;
}

BOOL CTreeCtrl::DeleteAllItems() {
    EndDragHover();
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

void CTreeCtrl::OnBeginDrag(std::function<void(HTREEITEM)> handler) {
    m_onBeginDrag = std::move(handler);
    if (View() != nullptr) {
        View()->setDragEnabled(static_cast<bool>(m_onBeginDrag));
    }
}

// An item the drag rests on opens after a moment; near the top or bottom edge the view scrolls
// one line at a time for as long as the drag stays there.
void CTreeCtrl::DragHover(CPoint point) {
    if (View() == nullptr) {
        return;
    }
    const HTREEITEM item = HitTest(point);
    if (item != m_hovered) {
        m_hovered = item;
        item != nullptr ? m_expandTimer->start() : m_expandTimer->stop();
    }
    const int height = View()->viewport()->height();
    m_scrollDirection = point.y < kDragScrollMargin             ? -1
                        : point.y >= height - kDragScrollMargin ? 1
                                                                : 0;
    if (m_scrollDirection == 0) {
        m_scrollTimer->stop();
    } else if (!m_scrollTimer->isActive()) {
        static_cast<TreeView*>(View())->ScrollOneLine(m_scrollDirection);
        m_scrollTimer->start();
    }
}

void CTreeCtrl::EndDragHover() {
    m_hovered = nullptr;
    m_expandTimer->stop();
    m_scrollTimer->stop();
}

BOOL CTreeCtrl::SelectDropTarget(HTREEITEM item) {
    m_model->SetDropTarget(item);
    return TRUE;
}

HTREEITEM CTreeCtrl::GetDropHilightItem() const {
    return m_model->DropTarget();
}

void CTreeCtrl::SetDragExpandDelay(int milliseconds) {
    m_expandTimer->setInterval(milliseconds);
}

void CTreeCtrl::OnEndLabelEdit(std::function<bool(HTREEITEM, const CString&)> handler) {
    m_model->m_onEdited = std::move(handler);
}
