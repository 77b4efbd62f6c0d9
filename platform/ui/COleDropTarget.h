#pragma once
// A window that takes drops: registered with a window, it is asked while a drag enters, moves
// over and leaves the window, and on the drop, in the window's client coordinates. Overrides
// decide the effect; a drag over a window answers no effect until the target names one.

#include <memory>

#include "platform/ui/COleDataObject.h"
#include "platform/ui/CWnd.h"

class QObject;

class COleDropTarget {
public:
    COleDropTarget();
    virtual ~COleDropTarget();
    COleDropTarget(const COleDropTarget&) = delete;
    COleDropTarget& operator=(const COleDropTarget&) = delete;

    // Takes the drops of `window` (of its viewport, for a scrolling view) from now on, until
    // Revoke or this target goes. `window` is not owned; FALSE when it has no widget yet.
    BOOL Register(CWnd* window);
    void Revoke();
    CWnd* GetRegisteredWindow() const { return m_window; }

    virtual DROPEFFECT OnDragEnter(CWnd* window, COleDataObject* data, DWORD keyState,
                                   CPoint point);
    virtual DROPEFFECT OnDragOver(CWnd* window, COleDataObject* data, DWORD keyState, CPoint point);
    virtual void OnDragLeave(CWnd* window);
    virtual BOOL OnDrop(CWnd* window, COleDataObject* data, DROPEFFECT effect, CPoint point);

    // The key and button state of a drag event's modifiers and buttons (MK_...).
    static DWORD KeyState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);

private:
    class EventFilter;

    CWnd* m_window = nullptr;
    std::unique_ptr<EventFilter> m_filter;
};
