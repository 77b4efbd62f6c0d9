#include "platform/ui/CWnd.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QVariant>
#include <QWidget>
#include <utility>

namespace {

constexpr const char* kWindowProperty = "vaultry.cwnd";
constexpr const char* kIdProperty = "vaultry.id";

CWnd::HelpHandler& CurrentHelpHandler() {
    static CWnd::HelpHandler handler;
    return handler;
}

}  // namespace

CWnd::~CWnd() {
    Detach();
}

BOOL CWnd::Create(CWnd* parent, const CRect& rect, UINT id) {
    Adopt(std::make_unique<QWidget>(), parent, rect, id);
    return TRUE;
}

void CWnd::Adopt(std::unique_ptr<QWidget> widget, CWnd* parent, const CRect& rect, UINT id) {
    widget->setGeometry(static_cast<int>(rect.left), static_cast<int>(rect.top),
                        static_cast<int>(rect.Width()), static_cast<int>(rect.Height()));
    widget->setProperty(kIdProperty, id);
    if (parent != nullptr && parent->Widget() != nullptr) {
        widget->setParent(parent->Widget());
        // A child window is made visible, also inside a window already shown, where Qt
        // would leave it hidden.
        widget->setVisible(true);
        Attach(widget.release());  // the parent's widget owns it
    } else {
        Own(std::move(widget));
    }
}

BOOL CWnd::DestroyWindow() {
    QWidget* widget = m_widget;
    if (widget == nullptr) {
        return FALSE;
    }
    const bool owned = m_owned != nullptr;
    Detach();  // frees an owned window
    if (!owned) {
        delete widget;
    }
    return TRUE;
}

void CWnd::Own(std::unique_ptr<QWidget> widget) {
    Detach();
    Attach(widget.get());
    m_owned = std::move(widget);
}

void CWnd::Attach(QWidget* widget) {
    Detach();
    m_widget = widget;
    if (m_widget != nullptr) {
        m_widget->setProperty(kWindowProperty, QVariant::fromValue(static_cast<void*>(this)));
    }
}

QWidget* CWnd::Detach() {
    QWidget* widget = m_widget;
    if (widget != nullptr && FromWidget(widget) == this) {
        widget->setProperty(kWindowProperty, QVariant());
    }
    m_widget = nullptr;
    m_owned.reset();
    return widget;
}

CWnd* CWnd::FromWidget(const QWidget* widget) {
    return widget ? static_cast<CWnd*>(widget->property(kWindowProperty).value<void*>()) : nullptr;
}

UINT CWnd::GetDlgCtrlID() const {
    const QWidget* widget = m_widget;
    return widget != nullptr ? widget->property(kIdProperty).toUInt() : 0;
}

CWnd* CWnd::GetDlgItem(UINT id) const {
    if (m_widget == nullptr) {
        return nullptr;
    }
    for (QWidget* child : m_widget->findChildren<QWidget*>()) {
        if (child->property(kIdProperty).toUInt() == id) {
            return FromWidget(child);
        }
    }
    return nullptr;
}

CWnd* CWnd::GetParent() const {
    const QWidget* widget = m_widget;
    return widget != nullptr ? FromWidget(widget->parentWidget()) : nullptr;
}

// The widget is read once in each of these: a guarded pointer read twice is, to the compiler,
// two reads that need not agree.
void CWnd::SetWindowText(const char* text) {
    QWidget* widget = m_widget;
    if (widget == nullptr) {
        return;
    }
    const QByteArray name("text");
    if (widget->metaObject()->indexOfProperty(name.constData()) >= 0 && !widget->isWindow()) {
        widget->setProperty(name.constData(), QString::fromUtf8(text));
    } else {
        widget->setWindowTitle(QString::fromUtf8(text));
    }
}

CString CWnd::GetWindowText() const {
    const QWidget* widget = m_widget;
    if (widget == nullptr) {
        return CString();
    }
    // A drop-down list's text is its selected item's, as Windows gives it.
    const auto* combo = qobject_cast<const QComboBox*>(widget);
    const QVariant text = widget->isWindow() ? QVariant(widget->windowTitle())
                          : combo != nullptr ? QVariant(combo->currentText())
                                             : widget->property("text");
    return CString(text.toString().toUtf8().constData());
}

BOOL CWnd::EnableWindow(BOOL enable) {
    QWidget* widget = m_widget;
    if (widget == nullptr) {
        return FALSE;
    }
    const BOOL wasDisabled = !widget->isEnabled();
    widget->setEnabled(enable != FALSE);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
    const QWidget* widget = m_widget;
    return widget != nullptr && widget->isEnabled();
}

BOOL CWnd::ShowWindow(int command) {
    QWidget* widget = m_widget;
    if (widget == nullptr) {
        return FALSE;
    }
    const BOOL wasVisible = widget->isVisible();
    widget->setVisible(command != SW_HIDE);
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    const QWidget* widget = m_widget;
    return widget != nullptr && widget->isVisible();
}

CWnd* CWnd::SetFocus() {
    CWnd* previous = GetFocus();
    if (m_widget != nullptr) {
        m_widget->setFocus(Qt::OtherFocusReason);
    }
    return previous;
}

CWnd* CWnd::GetFocus() {
    return FromWidget(QApplication::focusWidget());
}

namespace {

// A scrolling view's client area is its viewport: without frame and scroll bars.
const QWidget* ClientOf(const QWidget* widget) {
    const auto* area = qobject_cast<const QAbstractScrollArea*>(widget);
    return area != nullptr ? area->viewport() : widget;
}

}  // namespace

void CWnd::GetClientRect(CRect* rect) const {
    const QWidget* client = ClientOf(m_widget.data());
    *rect = client ? CRect{0, 0, client->width(), client->height()} : CRect{};
}

void CWnd::ClientToScreen(CPoint* point) const {
    if (const QWidget* client = ClientOf(m_widget.data())) {
        const QPoint mapped =
            client->mapToGlobal(QPoint(static_cast<int>(point->x), static_cast<int>(point->y)));
        *point = {mapped.x(), mapped.y()};
    }
}

void CWnd::ScreenToClient(CPoint* point) const {
    if (const QWidget* client = ClientOf(m_widget.data())) {
        const QPoint mapped =
            client->mapFromGlobal(QPoint(static_cast<int>(point->x), static_cast<int>(point->y)));
        *point = {mapped.x(), mapped.y()};
    }
}

void CWnd::OnContextMenu(std::function<void(CPoint)> handler) {
    QWidget* widget = m_widget;
    if (widget == nullptr) {
        return;
    }
    const QWidget* source = ClientOf(widget);  // where the view reports its points
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(widget, &QWidget::customContextMenuRequested, widget,
                     [source, handler = std::move(handler)](const QPoint& at) {
                         const QPoint global = source->mapToGlobal(at);
                         handler(CPoint{global.x(), global.y()});
                     });
}

BOOL CWnd::OnCommand(UINT /*id*/) {
    return FALSE;
}

BOOL CWnd::OnHelpInfo(UINT helpId) {
    if (CurrentHelpHandler()) {
        CurrentHelpHandler()(helpId);
    }
    return TRUE;
}

CWnd::HelpHandler CWnd::SetHelpHandler(HelpHandler handler) {
    return std::exchange(CurrentHelpHandler(), std::move(handler));
}
