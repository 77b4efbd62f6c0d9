#include "platform/ui/Controls.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>

#include "platform/afx/UnicodeCase.h"

namespace {

template <typename Widget>
Widget* As(const CWnd& window) {
    return qobject_cast<Widget*>(window.Widget());
}

QString Text(const char* text) {
    return QString::fromUtf8(text);
}

// Paints an owner-drawn button through its owner's callback.
class OwnerDrawFilter : public QObject {
public:
    explicit OwnerDrawFilter(std::function<void(QPainter&, const CRect&)> draw, QObject* parent)
        : QObject(parent), m_draw(std::move(draw)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) {
            return false;
        }
        auto* widget = static_cast<QWidget*>(watched);
        QPainter painter(widget);
        m_draw(painter, CRect{0, 0, widget->width(), widget->height()});
        return true;
    }

private:
    std::function<void(QPainter&, const CRect&)> m_draw;
};

}  // namespace

BOOL CButton::IsDefault() const {
    const auto* button = As<QPushButton>(*this);
    return button && button->isDefault();
}

int CButton::GetCheck() const {
    const auto* button = As<QAbstractButton>(*this);
    return button && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void CButton::SetCheck(int check) {
    if (auto* button = As<QAbstractButton>(*this)) {
        button->setChecked(check == BST_CHECKED);
    }
}

void CButton::OnClicked(std::function<void()> handler) {
    if (auto* button = As<QAbstractButton>(*this)) {
        QObject::connect(button, &QAbstractButton::clicked, button,
                         [handler = std::move(handler)] { handler(); });
    }
}

void CButton::SetOwnerDraw(std::function<void(QPainter&, const CRect&)> draw) {
    if (Widget() != nullptr) {
        Widget()->installEventFilter(new OwnerDrawFilter(std::move(draw), Widget()));
        Widget()->update();
    }
}

short GetKeyState(int virtualKey) {
    const Qt::KeyboardModifiers held = QGuiApplication::queryKeyboardModifiers();
    const bool down = (virtualKey == VK_SHIFT && (held & Qt::ShiftModifier)) ||
                      (virtualKey == VK_CONTROL && (held & Qt::ControlModifier));
    return down ? static_cast<short>(-128) : 0;
}

BOOL CEdit::Create(const CRect& rect, CWnd* parent, UINT id) {
    Adopt(std::make_unique<QLineEdit>(), parent, rect, id);
    return TRUE;
}

void CEdit::OnChange(std::function<void()> handler) {
    if (auto* edit = As<QLineEdit>(*this)) {
        QObject::connect(edit, &QLineEdit::textChanged, edit,
                         [handler](const QString&) { handler(); });
    }
}

BOOL CComboBox::Create(const CRect& rect, CWnd* parent, UINT id) {
    Adopt(std::make_unique<QComboBox>(), parent, rect, id);
    return TRUE;
}

int CComboBox::AddString(const char* text) {
    auto* combo = As<QComboBox>(*this);
    if (combo == nullptr) {
        return CB_ERR;
    }
    int index = combo->count();
    if (combo->property("vaultry.sorted").toBool()) {
        for (int i = 0; i < combo->count(); ++i) {
            if (vaultry::text::CompareFolded(text, combo->itemText(i).toUtf8().constData()) < 0) {
                index = i;
                break;
            }
        }
    }
    combo->insertItem(index, Text(text));
    return index;
}

void CComboBox::ResetContent() {
    if (auto* combo = As<QComboBox>(*this)) {
        combo->clear();
    }
}

int CComboBox::GetCount() const {
    const auto* combo = As<QComboBox>(*this);
    return combo ? combo->count() : 0;
}

int CComboBox::GetCurSel() const {
    const auto* combo = As<QComboBox>(*this);
    return combo && combo->currentIndex() >= 0 ? combo->currentIndex() : CB_ERR;
}

int CComboBox::SetCurSel(int index) {
    auto* combo = As<QComboBox>(*this);
    if (combo == nullptr || index < 0 || index >= combo->count()) {
        if (combo != nullptr) {
            combo->setCurrentIndex(-1);
        }
        return CB_ERR;
    }
    combo->setCurrentIndex(index);
    return index;
}

int CComboBox::SetItemData(int index, DWORD_PTR data) {
    auto* combo = As<QComboBox>(*this);
    if (combo == nullptr || index < 0 || index >= combo->count()) {
        return CB_ERR;
    }
    combo->setItemData(index, QVariant::fromValue<qulonglong>(data));
    return 0;
}

DWORD_PTR CComboBox::GetItemData(int index) const {
    const auto* combo = As<QComboBox>(*this);
    return combo ? static_cast<DWORD_PTR>(combo->itemData(index).toULongLong()) : 0;
}

void CComboBox::GetLBText(int index, CString& text) const {
    const auto* combo = As<QComboBox>(*this);
    text = combo ? combo->itemText(index).toUtf8().constData() : "";
}

int CComboBox::FindStringExact(int start, const char* text) const {
    const auto* combo = As<QComboBox>(*this);
    if (combo == nullptr) {
        return CB_ERR;
    }
    for (int i = start + 1; i < combo->count(); ++i) {
        if (vaultry::text::CompareFolded(text, combo->itemText(i).toUtf8().constData()) == 0) {
            return i;
        }
    }
    return CB_ERR;
}

void CComboBox::OnSelEndOk(std::function<void()> handler) {
    if (auto* combo = As<QComboBox>(*this)) {
        QObject::connect(combo, &QComboBox::activated, combo, [handler](int) { handler(); });
    }
}

void CComboBox::OnSelChange(std::function<void()> handler) {
    if (auto* combo = As<QComboBox>(*this)) {
        QObject::connect(combo, &QComboBox::currentIndexChanged, combo,
                         [handler](int) { handler(); });
    }
}
