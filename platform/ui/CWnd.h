#pragma once
// A window of the window layer: MFC's CWnd over a Qt widget. A top-level window a CWnd made is
// owned by it; a child window belongs to its Qt parent, as do the controls of a dialog, which
// CWnds only wrap. A wrapped widget may go before its CWnd: the CWnd then wraps nothing.
// Controls are found by their template id; the CWnd of a widget is found from the widget.

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/afx/CString.h"

struct CPoint {
    long x = 0;
    long y = 0;
};

struct CRect {
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;
    long Width() const { return right - left; }
    long Height() const { return bottom - top; }
};

constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Makes a plain child window of `parent`, or a top-level window (owned) when null.
    BOOL Create(CWnd* parent, const CRect& rect, UINT id);
    // Wraps `widget` (not owned); this CWnd becomes the one GetDlgItem and FromWidget find.
    void Attach(QWidget* widget);
    QWidget* Detach();
    // Destroys the window now (whoever owns it) and leaves this CWnd without one; FALSE when it
    // had none.
    BOOL DestroyWindow();
    QWidget* Widget() const { return m_widget; }
    // The CWnd wrapping `widget`, or null.
    static CWnd* FromWidget(const QWidget* widget);

    UINT GetDlgCtrlID() const;
    // The control with template id `id` among this window's descendants, or null.
    CWnd* GetDlgItem(UINT id) const;
    CWnd* GetParent() const;

    void SetWindowText(const char* text);
    CString GetWindowText() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
    // Gives this window the keyboard focus; returns the window that had it (or null).
    CWnd* SetFocus();
    static CWnd* GetFocus();
    // Client coordinates: those of a scrolling view's viewport, without frame and scroll bars.
    void GetClientRect(CRect* rect) const;
    void ClientToScreen(CPoint* point) const;
    void ScreenToClient(CPoint* point) const;

    // The user asks for a context menu on this window (right button, menu key); `handler` gets
    // the point in screen coordinates.
    void OnContextMenu(std::function<void(CPoint screenPoint)> handler);

    // A command (a menu item, a bar button, a key) sent to this window; TRUE when it was
    // handled. Windows that handle commands override it.
    virtual BOOL OnCommand(UINT id);

    // F1 on this window: names the help context to the help handler. Windows with their own
    // help id override it and call this one after.
    virtual BOOL OnHelpInfo(UINT helpId);
    // Who shows help: the program's viewer, or a test that checks the request. An empty
    // handler ignores help requests. Returns the previous handler.
    using HelpHandler = std::function<void(UINT helpId)>;
    static HelpHandler SetHelpHandler(HelpHandler handler);

protected:
    // Takes ownership of `widget` and attaches it.
    void Own(std::unique_ptr<QWidget> widget);
    // Places `widget` in `rect` with control id `id` and attaches it: owned by `parent`'s window
    // when there is one, else by this CWnd.
    void Adopt(std::unique_ptr<QWidget> widget, CWnd* parent, const CRect& rect, UINT id);

private:
    QPointer<QWidget> m_widget;
    std::unique_ptr<QWidget> m_owned;
};
