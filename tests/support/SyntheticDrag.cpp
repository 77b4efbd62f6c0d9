#include "tests/support/SyntheticDrag.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QMouseEvent>
#include <QTest>

#include "platform/ui/TreeItemModel.h"

namespace vaultry::test {

void MouseDrag(QAbstractItemView* view, QPoint from) {
    QWidget* area = view->viewport();
    QTest::mousePress(area, Qt::LeftButton, {}, from);
    // The first move makes the view ready to drag, the second goes past the drag distance.
    for (const int step : {2, 40}) {
        const QPoint to = from + QPoint(step, step);
        QMouseEvent move(QEvent::MouseMove, to, area->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         {});
        QApplication::sendEvent(area, &move);
    }
}

QPoint PointOf(CTreeCtrl& tree, HTREEITEM item) {
    tree.EnsureVisible(item);
    auto* view = qobject_cast<QAbstractItemView*>(tree.Widget());
    return view->visualRect(tree.Model().IndexOf(item)).center();
}

SyntheticDrop::SyntheticDrop()
    : m_previous(COleDataSource::SetDragRunner(
          [this](QWidget*, QMimeData& data, DROPEFFECT allowed) { return Drop(data, allowed); })) {}

SyntheticDrop::~SyntheticDrop() {
    COleDataSource::SetDragRunner(m_previous);
}

void SyntheticDrop::Aim(CTreeCtrl& target, HTREEITEM item, Qt::KeyboardModifiers keys) {
    m_target = &target;
    m_at = PointOf(target, item);
    m_keys = keys;
}

DROPEFFECT SyntheticDrop::Drop(QMimeData& data, DROPEFFECT allowed) {
    QWidget* area = qobject_cast<QAbstractItemView*>(m_target->Widget())->viewport();
    const auto actions = static_cast<Qt::DropActions>(static_cast<int>(allowed));
    QDragEnterEvent enter(m_at, actions, &data, Qt::LeftButton, m_keys);
    QApplication::sendEvent(area, &enter);
    QDragMoveEvent over(m_at, actions, &data, Qt::LeftButton, m_keys);
    QApplication::sendEvent(area, &over);
    m_shown = over.isAccepted() ? static_cast<DROPEFFECT>(over.dropAction()) : DROPEFFECT_NONE;
    m_highlighted = m_target->GetItemText(m_target->GetDropHilightItem()).str();
    if (m_shown == DROPEFFECT_NONE) {
        QDragLeaveEvent leave;
        QApplication::sendEvent(area, &leave);
        return DROPEFFECT_NONE;
    }
    QDropEvent drop(m_at, actions, &data, Qt::LeftButton, m_keys);
    drop.setDropAction(over.dropAction());
    QApplication::sendEvent(area, &drop);
    return drop.isAccepted() ? static_cast<DROPEFFECT>(drop.dropAction()) : DROPEFFECT_NONE;
}

}  // namespace vaultry::test
