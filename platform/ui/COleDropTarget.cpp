#include "platform/ui/COleDropTarget.h"

#include <QAbstractScrollArea>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>

// Turns the drag events of the registered window into the target's calls.
class COleDropTarget::EventFilter : public QObject {
public:
    explicit EventFilter(COleDropTarget& target) : m_target(target) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::DragEnter:
                OnEnter(static_cast<QDragEnterEvent&>(*event));
                return true;
            case QEvent::DragMove:
                OnMove(static_cast<QDragMoveEvent&>(*event));
                return true;
            case QEvent::DragLeave:
                m_target.OnDragLeave(m_target.m_window);
                return true;
            case QEvent::Drop:
                OnDrop(static_cast<QDropEvent&>(*event));
                return true;
            default:
                return QObject::eventFilter(watched, event);
        }
    }

private:
    static CPoint PointOf(const QDropEvent& event) {
        const QPoint at = event.position().toPoint();
        return CPoint{at.x(), at.y()};
    }
    static DROPEFFECT Allowed(const QDropEvent& event) {
        return static_cast<DROPEFFECT>(static_cast<int>(event.possibleActions()));
    }
    // The effect shown; a refused position takes no drop.
    static void Answer(QDropEvent& event, DROPEFFECT effect) {
        effect &= Allowed(event);
        if ((effect & DROPEFFECT_MOVE) != 0) {
            event.setDropAction(Qt::MoveAction);
        } else if ((effect & DROPEFFECT_COPY) != 0) {
            event.setDropAction(Qt::CopyAction);
        } else {
            event.ignore();
            return;
        }
        event.accept();
    }
    // The drag is taken in whatever the target says here, so that it is asked again as the
    // drag moves over other places of the window.
    void OnEnter(QDragEnterEvent& event) {
        COleDataObject data(event.mimeData(), Allowed(event));
        const DROPEFFECT effect = m_target.OnDragEnter(
            m_target.m_window, &data, KeyState(event.modifiers(), event.buttons()), PointOf(event));
        Answer(event, effect);
        event.accept();
    }
    void OnMove(QDragMoveEvent& event) {
        COleDataObject data(event.mimeData(), Allowed(event));
        Answer(event,
               m_target.OnDragOver(m_target.m_window, &data,
                                   KeyState(event.modifiers(), event.buttons()), PointOf(event)));
    }
    void OnDrop(QDropEvent& event) {
        COleDataObject data(event.mimeData(), Allowed(event));
        const DROPEFFECT effect = static_cast<DROPEFFECT>(event.dropAction()) & Allowed(event);
        if (effect != DROPEFFECT_NONE &&
            m_target.OnDrop(m_target.m_window, &data, effect, PointOf(event))) {
            event.setDropAction(static_cast<Qt::DropAction>(effect));
            event.accept();
        } else {
            event.setDropAction(Qt::IgnoreAction);
            event.ignore();
        }
    }

    COleDropTarget& m_target;
};

COleDropTarget::COleDropTarget() = default;

COleDropTarget::~COleDropTarget() {
    Revoke();
}

namespace {

// Where the drag events of a window arrive: a scrolling view's viewport.
QWidget* DropArea(QWidget* widget) {
    auto* scrolling = qobject_cast<QAbstractScrollArea*>(widget);
    return scrolling ? scrolling->viewport() : widget;
}

}  // namespace

BOOL COleDropTarget::Register(CWnd* window) {
    Revoke();
    if (window == nullptr || window->Widget() == nullptr) {
        return FALSE;
    }
    m_window = window;
    m_filter = std::make_unique<EventFilter>(*this);
    QWidget* area = DropArea(window->Widget());
    area->setAcceptDrops(true);
    area->installEventFilter(m_filter.get());
    return TRUE;
}

void COleDropTarget::Revoke() {
    // A filter object that goes takes itself off the widgets it watched.
    m_filter.reset();
    m_window = nullptr;
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint) {
    return DROPEFFECT_NONE;
}

DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint) {
    return DROPEFFECT_NONE;
}

void COleDropTarget::OnDragLeave(CWnd*) {}

BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint) {
    return FALSE;
}

DWORD COleDropTarget::KeyState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
    DWORD state = 0;
    state |= (modifiers & Qt::ControlModifier) ? MK_CONTROL : 0;
    state |= (modifiers & Qt::ShiftModifier) ? MK_SHIFT : 0;
    state |= (modifiers & Qt::AltModifier) ? MK_ALT : 0;
    state |= (buttons & Qt::LeftButton) ? MK_LBUTTON : 0;
    state |= (buttons & Qt::RightButton) ? MK_RBUTTON : 0;
    state |= (buttons & Qt::MiddleButton) ? MK_MBUTTON : 0;
    return state;
}
