#include "platform/ui/DesktopProgram.h"

#include <QApplication>
#include <QDialog>
#include <QPixmap>
#include <QTimer>
#include <QWindow>
#include <memory>

namespace {

// Calls its action once, from the event loop, after `window` is first exposed; then goes.
class ExposeWatcher : public QObject {
public:
    ExposeWatcher(QWindow* window, std::function<void()> action)
        : QObject(window), m_window(window), m_action(std::move(action)) {
        if (window->isExposed()) {
            Fire();
        } else {
            window->installEventFilter(this);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && m_window->isExposed()) {
            m_window->removeEventFilter(this);
            Fire();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // Queued, so the window has painted before the action looks at it.
    void Fire() {
        QTimer::singleShot(0, this, [this] {
            m_action();
            deleteLater();
        });
    }

    QWindow* m_window;  // the watcher's parent
    std::function<void()> m_action;
};

}  // namespace

void SetDesktopIdentity(const char* name, const char* desktopFileName, const unsigned char* iconPng,
                        std::size_t iconSize) {
    EnsureUiApplication();
    QApplication::setApplicationName(QString::fromUtf8(name));
    QGuiApplication::setApplicationDisplayName(QString::fromUtf8(name));
    QGuiApplication::setDesktopFileName(QString::fromUtf8(desktopFileName));
    QPixmap icon;
    if (icon.loadFromData(iconPng, static_cast<uint>(iconSize), "PNG")) {
        QApplication::setWindowIcon(QIcon(icon));
    }
}

CDialog::ModalRunner RunCallingWhenShown(std::function<void(CDialog&, int order)> whenShown) {
    struct Count {
        int started = 0;  // dialogs the program opened one after another
        int running = 0;  // dialogs open now, one within another
    };
    auto count = std::make_shared<Count>();
    return [whenShown = std::move(whenShown), count](CDialog& dialog) {
        auto* window = qobject_cast<QDialog*>(dialog.Widget());
        if (window == nullptr) {
            return;
        }
        if (count->running == 0) {
            const int order = count->started++;
            window->winId();  // makes the native window the watcher looks at
            new ExposeWatcher(window->windowHandle(),
                              [&dialog, whenShown, order] { whenShown(dialog, order); });
        }
        ++count->running;
        window->exec();
        --count->running;
    };
}
