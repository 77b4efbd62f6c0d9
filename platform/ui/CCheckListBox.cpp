#include "platform/ui/CCheckListBox.h"

#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionViewItem>

#include "platform/afx/UnicodeCase.h"
#include "platform/ui/CheckListModel.h"

namespace {

// The view: tells its owner of clicks on check boxes and texts, and of keys, before the usual
// selection handling.
class CheckListView : public QListView {
public:
    CheckListView(std::function<void(int)>& onCheck, std::function<void(int, bool)>& onText,
                  std::function<bool(int)>& onKey)
        : m_onCheck(onCheck), m_onText(onText), m_onKey(onKey) {
        setSelectionMode(QAbstractItemView::ExtendedSelection);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setUniformItemSizes(true);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        setFocus(Qt::MouseFocusReason);
        const QModelIndex at = indexAt(event->position().toPoint());
        if (!at.isValid() || event->button() != Qt::LeftButton) {
            QListView::mousePressEvent(event);
            return;
        }
        if (OnCheckBox(at, event->position().toPoint())) {
            if (m_onCheck) {
                m_onCheck(at.row());
            }
            return;  // the selection stays as it is
        }
        const bool wasCurrent = currentIndex() == at;
        QListView::mousePressEvent(event);
        if (m_onText) {
            m_onText(at.row(), wasCurrent);
        }
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        const QModelIndex at = indexAt(event->position().toPoint());
        if (at.isValid() && OnCheckBox(at, event->position().toPoint())) {
            if (m_onCheck) {
                m_onCheck(at.row());
            }
            return;
        }
        QListView::mouseDoubleClickEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (m_onKey && m_onKey(event->key())) {
            return;
        }
        QListView::keyPressEvent(event);
    }

private:
    bool OnCheckBox(const QModelIndex& index, const QPoint& point) const {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        option.rect = visualRect(index);
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
        const QRect box =
            style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
        return box.contains(point);
    }

    std::function<void(int)>& m_onCheck;
    std::function<void(int, bool)>& m_onText;
    std::function<bool(int)>& m_onKey;
};

}  // namespace

CCheckListBox::CCheckListBox() : m_model(std::make_unique<CheckListModel>()) {}

CCheckListBox::~CCheckListBox() {
    // The view goes first: it must not outlive the model it shows.
    DestroyWindow();
}

BOOL CCheckListBox::Create(const CRect& rect, CWnd* parent, UINT id) {
    auto owned = std::make_unique<CheckListView>(m_onCheckClicked, m_onTextClicked, m_onKey);
    CheckListView* view = owned.get();
    view->setModel(m_model.get());
    const auto changed = [this] {
        if (m_onSelChange) {
            m_onSelChange();
        }
    };
    QObject::connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, view, changed);
    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentChanged, view, changed);
    Adopt(std::move(owned), parent, rect, id);
    return TRUE;
}

QListView* CCheckListBox::View() const {
    return qobject_cast<QListView*>(Widget());
}

int CCheckListBox::AddString(const char* text) {
    return m_model->Add(text);
}

int CCheckListBox::DeleteString(int index) {
    if (!m_model->Has(index)) {
        return LB_ERR;
    }
    m_model->Remove(index);
    return m_model->Count();
}

void CCheckListBox::ResetContent() {
    m_model->Clear();
}

int CCheckListBox::GetCount() const {
    return m_model->Count();
}

void CCheckListBox::GetText(int index, CString& text) const {
    text = m_model->Text(index);
}

int CCheckListBox::FindStringExact(int start, const char* text) const {
    const int count = m_model->Count();
    for (int step = 1; step <= count; ++step) {
        const int row = ((start < 0 ? -1 : start) + step) % count;
        if (vaultry::text::CompareFolded(m_model->Text(row).str(), text) == 0) {
            return row;
        }
    }
    return LB_ERR;
}

int CCheckListBox::SetItemDataPtr(int index, void* data) {
    if (!m_model->Has(index)) {
        return LB_ERR;
    }
    m_model->SetData(index, data);
    return 0;
}

void* CCheckListBox::GetItemDataPtr(int index) const {
    return m_model->Data(index);
}

void CCheckListBox::SetCheck(int index, int check) {
    m_model->SetChecked(index, check != 0);
}

int CCheckListBox::GetCheck(int index) const {
    return m_model->Checked(index) ? 1 : 0;
}

int CCheckListBox::GetSelCount() const {
    return View() ? static_cast<int>(View()->selectionModel()->selectedRows().size()) : 0;
}

int CCheckListBox::GetSel(int index) const {
    return View() && m_model->Has(index) &&
                   View()->selectionModel()->isRowSelected(index, QModelIndex())
               ? 1
               : 0;
}

int CCheckListBox::SetSel(int index, BOOL select) {
    if (View() == nullptr || (index != -1 && !m_model->Has(index))) {
        return LB_ERR;
    }
    const auto flags = select ? QItemSelectionModel::Select : QItemSelectionModel::Deselect;
    const QItemSelection rows =
        index == -1 ? QItemSelection(m_model->index(0), m_model->index(m_model->Count() - 1))
                    : QItemSelection(m_model->index(index), m_model->index(index));
    View()->selectionModel()->select(rows, flags | QItemSelectionModel::Rows);
    return 0;
}

int CCheckListBox::GetCaretIndex() const {
    const QModelIndex current = View() ? View()->currentIndex() : QModelIndex();
    return current.isValid() ? current.row() : LB_ERR;
}

int CCheckListBox::SetCaretIndex(int index) {
    if (View() == nullptr || !m_model->Has(index)) {
        return LB_ERR;
    }
    View()->selectionModel()->setCurrentIndex(m_model->index(index), QItemSelectionModel::NoUpdate);
    return 0;
}

int CCheckListBox::GetItemRect(int index, CRect* rect) const {
    if (View() == nullptr || !m_model->Has(index)) {
        return LB_ERR;
    }
    const QRect place = View()->visualRect(m_model->index(index));
    *rect = CRect{place.left(), place.top(), place.right() + 1, place.bottom() + 1};
    return 0;
}

void CCheckListBox::OnCheckClicked(std::function<void(int index)> handler) {
    m_onCheckClicked = std::move(handler);
}

void CCheckListBox::OnTextClicked(std::function<void(int index, bool wasCurrent)> handler) {
    m_onTextClicked = std::move(handler);
}

void CCheckListBox::OnSelChange(std::function<void()> handler) {
    m_onSelChange = std::move(handler);
}

void CCheckListBox::OnKey(std::function<bool(int key)> handler) {
    m_onKey = std::move(handler);
}
