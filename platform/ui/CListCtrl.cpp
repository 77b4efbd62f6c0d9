#include "platform/ui/CListCtrl.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QTreeView>
#include <algorithm>

namespace {

// The view: one column of items without a header, asking its owner before an edit starts and
// telling it of clicks, also on no item.
class ListView : public QTreeView {
public:
    ListView(std::function<bool(int)>& mayEdit, std::function<void(int)>& onClick,
             std::function<void(int)>& onDoubleClick, std::function<void()>& beginDrag)
        : m_mayEdit(mayEdit),
          m_onClick(onClick),
          m_onDoubleClick(onDoubleClick),
          m_beginDrag(beginDrag) {
        setRootIsDecorated(false);
        setHeaderHidden(true);
        setUniformRowHeights(true);
        setItemsExpandable(false);
        setSelectionMode(QAbstractItemView::ExtendedSelection);
        header()->setStretchLastSection(false);
    }
    bool Editing() const { return state() == EditingState; }
    // The column is as wide as asked, and never narrower than the view: the list scrolls
    // sideways only for names that do not fit, whatever size the view grows or shrinks to.
    void SetColumnWidth(int width) {
        m_columnWidth = width;
        FitColumn();
    }

protected:
    bool viewportEvent(QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            FitColumn();
        }
        return QTreeView::viewportEvent(event);
    }
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override {
        const bool starts = (trigger & editTriggers()) != 0 || trigger == AllEditTriggers;
        if (starts && index.isValid() && m_mayEdit && !m_mayEdit(index.row())) {
            return false;
        }
        return QTreeView::edit(index, trigger, event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        QTreeView::mouseReleaseEvent(event);
        if (m_onClick && event->button() == Qt::LeftButton) {
            m_onClick(RowAt(event));
        }
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        QTreeView::mouseDoubleClickEvent(event);
        if (m_onDoubleClick && event->button() == Qt::LeftButton) {
            m_onDoubleClick(RowAt(event));
        }
    }

    // The owner runs the drag of the selected items.
    void startDrag(Qt::DropActions) override {
        if (m_beginDrag) {
            m_beginDrag();
        }
    }

private:
    void FitColumn() {
        if (m_columnWidth >= 0) {
            header()->resizeSection(0, std::max(m_columnWidth, viewport()->width()));
        }
    }
    int RowAt(const QMouseEvent* event) const {
        const QModelIndex at = indexAt(event->position().toPoint());
        return at.isValid() ? at.row() : -1;
    }

    std::function<bool(int)>& m_mayEdit;
    std::function<void(int)>& m_onClick;
    std::function<void(int)>& m_onDoubleClick;
    std::function<void()>& m_beginDrag;
    int m_columnWidth = -1;  // none asked for yet
};

}  // namespace

CListCtrl::CListCtrl() : m_model(std::make_unique<VirtualListModel>()) {
    m_model->m_picture = [this](const ListItemDisplay& item) { return Picture(item); };
}

CListCtrl::~CListCtrl() {
    // The view goes first: it must neither outlive the model it shows nor call back into a
    // control that is half gone.
    DestroyWindow();
}

BOOL CListCtrl::Create(const CRect& rect, CWnd* parent, UINT id, bool editLabels) {
    auto owned =
        std::make_unique<ListView>(m_onBeginEdit, m_onClick, m_onDoubleClick, m_onBeginDrag);
    ListView* view = owned.get();
    view->setDragEnabled(static_cast<bool>(m_onBeginDrag));
    view->setModel(m_model.get());
    view->setEditTriggers(editLabels ? QAbstractItemView::EditKeyPressed |
                                           QAbstractItemView::SelectedClicked
                                     : QAbstractItemView::NoEditTriggers);
    m_model->m_editable = editLabels;
    const auto changed = [this] {
        if (m_countChanging) {
            m_changeHeld = true;
        } else if (m_onItemChanged) {
            m_onItemChanged();
        }
    };
    QObject::connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, view, changed);
    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentChanged, view,
                     [this, changed](const QModelIndex& current) {
                         m_selectionMark = current.isValid() ? current.row() : -1;
                         changed();
                     });
    Adopt(std::move(owned), parent, rect, id);
    return TRUE;
}

QTreeView* CListCtrl::View() const {
    return qobject_cast<QTreeView*>(Widget());
}

void CListCtrl::SetImageList(CImageList* images, int which) {
    (which == LVSIL_STATE ? m_state : m_small) = images;
    m_pictures.clear();
    if (View() != nullptr) {
        const int width = (m_state ? m_state->Width() : 0) + (m_small ? m_small->Width() : 0);
        const int height =
            std::max(m_state ? m_state->Height() : 0, m_small ? m_small->Height() : 0);
        View()->setIconSize(QSize(width, height));
    }
}

// The state image, then the image with its overlay, side by side.
QPixmap CListCtrl::Picture(const ListItemDisplay& item) {
    const auto key = std::make_tuple(item.image, item.overlay, item.stateImage);
    const auto made = m_pictures.find(key);
    if (made != m_pictures.end()) {
        return made->second;
    }
    const int stateWidth = m_state ? m_state->Width() : 0;
    const int width = stateWidth + (m_small ? m_small->Width() : 0);
    const int height = std::max(m_state ? m_state->Height() : 0, m_small ? m_small->Height() : 0);
    QPixmap picture(std::max(width, 1), std::max(height, 1));
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    if (m_state != nullptr && item.stateImage > 0) {
        painter.drawPixmap(0, 0, m_state->Draw(item.stateImage - 1));
    }
    if (m_small != nullptr) {
        painter.drawPixmap(stateWidth, 0, m_small->Draw(item.image, item.overlay));
    }
    painter.end();
    return m_pictures.emplace(key, picture).first->second;
}

// While rows go, Qt moves the current item through rows whose selection is not yet gone: a
// change of the selection is told once, when the items are as they will stay.
void CListCtrl::SetItemCountEx(int count) {
    m_countChanging = true;
    m_changeHeld = false;
    m_model->SetCount(count);
    m_countChanging = false;
    if (m_changeHeld && m_onItemChanged) {
        m_onItemChanged();
    }
}

void CListCtrl::SetDisplayHandler(std::function<ListItemDisplay(int)> handler) {
    m_model->m_display = std::move(handler);
}

CString CListCtrl::GetItemText(int item) const {
    return item >= 0 && item < GetItemCount() && m_model->m_display ? m_model->m_display(item).text
                                                                    : CString();
}

void CListCtrl::RedrawItems(int first, int last) {
    m_model->Changed(first, last);
}

int CListCtrl::HitTest(const CPoint& point) const {
    if (View() == nullptr) {
        return -1;
    }
    const QModelIndex at =
        View()->indexAt(QPoint(static_cast<int>(point.x), static_cast<int>(point.y)));
    return at.isValid() ? at.row() : -1;
}

int CListCtrl::GetSelectedCount() const {
    return View() ? static_cast<int>(View()->selectionModel()->selectedRows().size()) : 0;
}

int CListCtrl::GetNextItem(int start, UINT flags) const {
    if (View() == nullptr) {
        return -1;
    }
    if ((flags & LVNI_SELECTED) == 0) {
        return start + 1 < GetItemCount() ? start + 1 : -1;
    }
    int next = -1;
    for (const QModelIndex& selected : View()->selectionModel()->selectedRows()) {
        if (selected.row() > start && (next < 0 || selected.row() < next)) {
            next = selected.row();
        }
    }
    return next;
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
    QTreeView* view = View();
    if (view == nullptr || item >= GetItemCount()) {
        return FALSE;
    }
    QItemSelectionModel& selection = *view->selectionModel();
    if (mask & LVIS_SELECTED) {
        const auto how =
            (state & LVIS_SELECTED) ? QItemSelectionModel::Select : QItemSelectionModel::Deselect;
        if (item < 0) {
            (state & LVIS_SELECTED) ? view->selectAll() : selection.clearSelection();
        } else {
            selection.select(m_model->index(item), how | QItemSelectionModel::Rows);
        }
    }
    if ((mask & LVIS_FOCUSED) && item >= 0) {
        selection.setCurrentIndex((state & LVIS_FOCUSED) ? m_model->index(item) : QModelIndex(),
                                  QItemSelectionModel::NoUpdate);
    }
    return TRUE;
}

UINT CListCtrl::GetItemState(int item, UINT mask) const {
    if (View() == nullptr || item < 0 || item >= GetItemCount()) {
        return 0;
    }
    const QModelIndex index = m_model->index(item);
    UINT state = 0;
    if (View()->selectionModel()->isSelected(index)) {
        state |= LVIS_SELECTED;
    }
    if (View()->currentIndex() == index) {
        state |= LVIS_FOCUSED;
    }
    return state & mask;
}

int CListCtrl::SetSelectionMark(int item) {
    const int previous = m_selectionMark;
    m_selectionMark = item;
    return previous;
}

BOOL CListCtrl::EnsureVisible(int item) {
    if (View() == nullptr || item < 0 || item >= GetItemCount()) {
        return FALSE;
    }
    View()->scrollTo(m_model->index(item));
    return TRUE;
}

BOOL CListCtrl::EditLabel(int item) {
    if (View() == nullptr || !m_model->m_editable || item < 0 || item >= GetItemCount()) {
        return FALSE;
    }
    View()->setFocus();
    View()->edit(m_model->index(item));
    return IsEditing();
}

bool CListCtrl::IsEditing() const {
    const auto* view = static_cast<const ListView*>(View());
    return view != nullptr && view->Editing();
}

BOOL CListCtrl::SetColumnWidth(int width) {
    auto* view = dynamic_cast<ListView*>(View());
    if (view == nullptr) {
        return FALSE;
    }
    view->SetColumnWidth(width);
    return TRUE;
}

int CListCtrl::GetColumnWidth() const {
    return View() ? View()->header()->sectionSize(0) : 0;
}

int CListCtrl::GetStringWidth(const char* text) const {
    return View() ? View()->fontMetrics().horizontalAdvance(QString::fromUtf8(text)) : 0;
}

void CListCtrl::OnClick(std::function<void(int)> handler) {
    m_onClick = std::move(handler);
}

void CListCtrl::OnDoubleClick(std::function<void(int)> handler) {
    m_onDoubleClick = std::move(handler);
}

void CListCtrl::OnItemChanged(std::function<void()> handler) {
    m_onItemChanged = std::move(handler);
}

void CListCtrl::OnBeginLabelEdit(std::function<bool(int)> handler) {
    m_onBeginEdit = std::move(handler);
}

void CListCtrl::OnBeginDrag(std::function<void()> handler) {
    m_onBeginDrag = std::move(handler);
    if (View() != nullptr) {
        View()->setDragEnabled(static_cast<bool>(m_onBeginDrag));
    }
}

void CListCtrl::OnEndLabelEdit(std::function<bool(int, const CString&)> handler) {
    m_model->m_onEdited = std::move(handler);
}
