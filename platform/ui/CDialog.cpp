#include "platform/ui/CDialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/afx/CResourceModule.h"

namespace {

CDialog::ModalRunner& CurrentRunner() {
    static CDialog::ModalRunner runner;
    return runner;
}

constexpr const char* kPlaceProperty = "vaultry.place";
constexpr const char* kAnchorProperty = "vaultry.anchor";
constexpr const char* kPlaceholderAfterProperty = "vaultry.placeholderAfter";

// The dialog's window: Escape and the close box cancel through the dialog, F1 asks for help;
// when resized, each control with an anchor follows it from its place in the template.
class DialogWindow : public QDialog {
public:
    explicit DialogWindow(CDialog& owner, QWidget* parent) : QDialog(parent), m_owner(owner) {}

    void reject() override { m_owner.OnCancel(); }
    void SetBaseSize(const QSize& size) { m_base = size; }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_F1) {
            m_owner.OnHelpInfo(m_owner.GetHelpId());
            return;
        }
        QDialog::keyPressEvent(event);
    }

    void resizeEvent(QResizeEvent* event) override {
        QDialog::resizeEvent(event);
        if (!m_base.isValid()) {
            return;
        }
        const int dx = width() - m_base.width();
        const int dy = height() - m_base.height();
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const QVariant place = child->property(kPlaceProperty);
            const uint anchor = child->property(kAnchorProperty).toUInt();
            if (!place.isValid() || anchor == 0) {
                continue;
            }
            const auto share = [](int growth, uint percent) {
                return growth * static_cast<int>(percent & 0xFF) / 100;
            };
            QRect at = place.toRect();
            at.translate(share(dx, anchor), share(dy, anchor >> 8));
            at.setSize(at.size() + QSize(share(dx, anchor >> 16), share(dy, anchor >> 24)));
            child->setGeometry(at);
        }
    }

private:
    CDialog& m_owner;
    QSize m_base;  // the template's size; invalid for a dialog of fixed size
};

uint PackAnchor(const ControlAnchor& anchor) {
    return static_cast<uint>(anchor.moveX) | static_cast<uint>(anchor.moveY) << 8 |
           static_cast<uint>(anchor.growX) << 16 | static_cast<uint>(anchor.growY) << 24;
}

// Dialog units to pixels, from the font's average character as Windows measures it.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font) {
        const QFontMetrics metrics(font);
        m_x = (metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") +
               26) /
              52;
        m_y = metrics.height();
    }
    int X(int units) const { return (units * m_x + 2) / 4; }
    int Y(int units) const { return (units * m_y + 4) / 8; }

private:
    int m_x = 1;
    int m_y = 1;
};

QWidget* MakeControl(const DialogControl& control, QWidget* parent, QButtonGroup*& radios) {
    const QString text = QString::fromUtf8(control.text);
    switch (control.kind) {
        case ControlKind::kStatic: {
            auto* label = new QLabel(text, parent);
            label->setAlignment(((control.style & SS_RIGHT) ? Qt::AlignRight : Qt::AlignLeft) |
                                Qt::AlignVCenter);
            return label;
        }
        case ControlKind::kEdit: {
            auto* edit = new QLineEdit(text, parent);
            if (control.style & ES_PASSWORD) {
                edit->setEchoMode(QLineEdit::Password);
            }
            return edit;
        }
        case ControlKind::kButton:
        case ControlKind::kDefaultButton: {
            auto* button = new QPushButton(text, parent);
            const bool isDefault = control.kind == ControlKind::kDefaultButton;
            button->setDefault(isDefault);
            button->setAutoDefault(isDefault);
            return button;
        }
        case ControlKind::kCheckBox: {
            if (control.style & BS_PUSHLIKE) {
                auto* button = new QPushButton(text, parent);
                button->setCheckable(true);
                button->setAutoDefault(false);
                return button;
            }
            return new QCheckBox(text, parent);
        }
        case ControlKind::kRadioButton: {
            if (radios == nullptr || (control.style & WS_GROUP)) {
                radios = new QButtonGroup(parent);
            }
            auto* radio = new QRadioButton(text, parent);
            radios->addButton(radio);
            return radio;
        }
        case ControlKind::kComboBox: {
            auto* combo = new QComboBox(parent);
            combo->setProperty("vaultry.sorted", (control.style & CBS_SORT) != 0);
            return combo;
        }
        case ControlKind::kGroupBox:
            return new QGroupBox(text, parent);
    }
    return nullptr;
}

const CDialogTemplate* FindTemplate(UINT id) {
    const HINSTANCE module = AfxGetResourceHandle();
    return module ? module->FindDialog(id) : nullptr;
}

// Qt leaves the tab order alone for widgets that take no focus, such as the labels around a
// placeholder, so the order is mended between the nearest ones that do.
QWidget* FocusableNeighbour(QWidget* widget, QWidget* (QWidget::*step)() const) {
    for (QWidget* next = (widget->*step)(); next != nullptr && next != widget;
         next = (next->*step)()) {
        if (next->focusPolicy() != Qt::NoFocus) {
            return next;
        }
    }
    return nullptr;
}

}  // namespace

CWnd& CDataExchange::Control(UINT id) const {
    CWnd* control = m_pDlgWnd->GetDlgItem(id);
    if (control == nullptr) {
        throw std::logic_error("dialog " + std::to_string(m_pDlgWnd->GetTemplateId()) +
                               " has no control " + std::to_string(id));
    }
    return *control;
}

void DDX_Control(CDataExchange* pDX, UINT id, CWnd& control) {
    CWnd& made = pDX->Control(id);
    if (&made != &control) {
        control.Attach(made.Widget());
    }
}

void DDX_Text(CDataExchange* pDX, UINT id, CString& value) {
    CWnd& control = pDX->Control(id);
    if (pDX->m_bSaveAndValidate) {
        value = control.GetWindowText();
    } else {
        control.SetWindowText(value);
    }
}

void DDX_Check(CDataExchange* pDX, UINT id, int& value) {
    auto* button = qobject_cast<QAbstractButton*>(pDX->Control(id).Widget());
    if (button == nullptr) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        value = button->isChecked() ? 1 : 0;
    } else {
        button->setChecked(value == 1);
    }
}

void DDX_Radio(CDataExchange* pDX, UINT id, int& value) {
    auto* first = qobject_cast<QRadioButton*>(pDX->Control(id).Widget());
    QButtonGroup* group = first ? first->group() : nullptr;
    if (group == nullptr) {
        return;
    }
    const QList<QAbstractButton*> buttons = group->buttons();
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(buttons.indexOf(group->checkedButton()));
        return;
    }
    group->setExclusive(false);
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        buttons[i]->setChecked(i == value);
    }
    group->setExclusive(true);
}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() = default;

void CDialog::Build(const CDialogTemplate& layout) {
    m_helpId = layout.helpId;
    auto window =
        std::make_unique<DialogWindow>(*this, m_pParentWnd ? m_pParentWnd->Widget() : nullptr);
    window->setWindowTitle(QString::fromUtf8(layout.caption));
    const DialogUnits units(window->font());
    const QSize size(units.X(layout.width), units.Y(layout.height));
    if (layout.resizable) {
        window->setMinimumSize(size);
        window->resize(size);
        window->SetBaseSize(size);
    } else {
        window->setFixedSize(size);
    }
    QButtonGroup* radios = nullptr;
    QWidget* previous = nullptr;
    QLabel* waitingForBuddy = nullptr;
    for (const DialogControl& control : layout.controls) {
        QWidget* widget = MakeControl(control, window.get(), radios);
        // A static's "&x" moves the focus to the next control that takes it, as on Windows.
        if (waitingForBuddy != nullptr && widget->focusPolicy() != Qt::NoFocus) {
            waitingForBuddy->setBuddy(widget);
            waitingForBuddy = nullptr;
        }
        // A placeholder right after such a label is where a control will stand that should take
        // the mnemonic once it replaces the placeholder.
        if (waitingForBuddy != nullptr && control.kind == ControlKind::kStatic &&
            waitingForBuddy->property(kPlaceholderAfterProperty).isNull()) {
            waitingForBuddy->setProperty(kPlaceholderAfterProperty, control.id);
        }
        if (control.kind == ControlKind::kStatic &&
            std::string_view(control.text).find('&') != std::string_view::npos) {
            waitingForBuddy = qobject_cast<QLabel*>(widget);
        }
        const QRect place(units.X(control.x), units.Y(control.y), units.X(control.width),
                          units.Y(control.height));
        widget->setGeometry(place);
        widget->setProperty(kPlaceProperty, place);
        widget->setProperty(kAnchorProperty, PackAnchor(control.anchor));
        widget->setProperty("vaultry.id", control.id);
        widget->setEnabled((control.style & WS_DISABLED) == 0);
        if (previous != nullptr && widget->focusPolicy() != Qt::NoFocus) {
            QWidget::setTabOrder(previous, widget);
        }
        previous = widget->focusPolicy() != Qt::NoFocus ? widget : previous;
        auto wrapper = std::make_unique<CWnd>();
        wrapper->Attach(widget);
        m_controls.push_back(std::move(wrapper));
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            if (control.id == IDC_OK) {
                QObject::connect(button, &QPushButton::clicked, button, [this] { OnOK(); });
            } else if (control.id == IDC_CANCEL) {
                QObject::connect(button, &QPushButton::clicked, button, [this] { OnCancel(); });
            }
        }
    }
    Own(std::move(window));
}

INT_PTR CDialog::DoModal() {
    EnsureUiApplication();
    const CDialogTemplate* layout = FindTemplate(m_templateId);
    if (layout == nullptr) {
        return -1;
    }
    Build(*layout);
    m_running = true;
    m_result = IDCANCEL;
    if (OnInitDialog()) {
        // The first control that takes the focus gets it, as on Windows.
        for (QWidget* at = Widget()->nextInFocusChain(); at != nullptr && at != Widget();
             at = at->nextInFocusChain()) {
            if ((at->focusPolicy() & Qt::TabFocus) && at->isEnabled()) {
                at->setFocus(Qt::TabFocusReason);
                break;
            }
        }
    }
    if (CurrentRunner()) {
        Widget()->show();
        CurrentRunner()(*this);
    } else {
        if (auto* window = qobject_cast<QDialog*>(Widget())) {
            window->exec();
        }
    }
    m_running = false;
    const int result = m_result;
    m_controls.clear();
    Detach();
    return result;
}

void CDialog::ReplaceControl(UINT id, CWnd& control) {
    QWidget* replacement = control.Widget();
    const auto found =
        std::find_if(m_controls.begin(), m_controls.end(), [id](const auto& wrapper) {
            return wrapper->Widget() != nullptr && wrapper->GetDlgCtrlID() == id;
        });
    if (replacement == nullptr || found == m_controls.end()) {
        throw std::logic_error("no control " + std::to_string(id) + " to replace");
    }
    QWidget* placeholder = (*found)->Widget();
    QWidget* before = FocusableNeighbour(placeholder, &QWidget::previousInFocusChain);
    QWidget* after = FocusableNeighbour(placeholder, &QWidget::nextInFocusChain);
    replacement->setParent(placeholder->parentWidget());
    replacement->setGeometry(placeholder->geometry());
    for (const char* property : {kPlaceProperty, kAnchorProperty, "vaultry.id"}) {
        replacement->setProperty(property, placeholder->property(property));
    }
    replacement->setVisible(true);
    for (auto* label : placeholder->parentWidget()->findChildren<QLabel*>()) {
        if (label->property(kPlaceholderAfterProperty) == QVariant(id)) {
            label->setBuddy(replacement);
        }
    }
    m_controls.erase(found);
    delete placeholder;
    if (before != nullptr && before != replacement) {
        QWidget::setTabOrder(before, replacement);
    }
    if (after != nullptr && after != replacement && after != placeholder) {
        QWidget::setTabOrder(replacement, after);
    }
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE)) {
        EndDialog(IDOK);
    }
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int result) {
    m_result = result;
    m_running = false;
    if (auto* window = qobject_cast<QDialog*>(Widget())) {
        window->done(result);
    }
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnHelpInfo(UINT helpId) {
    return CWnd::OnHelpInfo(helpId);
}

CDialog::ModalRunner CDialog::SetModalRunner(ModalRunner runner) {
    return std::exchange(CurrentRunner(), std::move(runner));
}

CWaitCursor::CWaitCursor() {
    EnsureUiApplication();
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

CWaitCursor::~CWaitCursor() {
    QApplication::restoreOverrideCursor();
}

void EnsureUiApplication() {
    if (QApplication::instance() != nullptr) {
        return;
    }
    static int argc = 1;
    static char name[] = "vaultry";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's own globals may already be gone, and the process ends
    // anyway.
    static QApplication* application = new QApplication(argc, argv);
    (void)application;
}

// In builds with LeakSanitizer (defined here, as every program with windows links this file):
// fontconfig, which Qt draws text with, and D-Bus, which Qt talks to the desktop through on a
// real display, keep buffers for the life of the process that the sanitizer would report at
// exit; they are those libraries'.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\nleak:libdbus-1\n";
}
