#include "host/ui/CDynamicWindowWithButtons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/ui/CBitmap.h"

namespace {

constexpr COLORREF kMask = RGB(255, 0, 255);

// The Qt key of a virtual key: letters and digits as they are, the function keys, and the few
// editing keys the bars use.
Qt::Key KeyOf(UINT key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
        return static_cast<Qt::Key>(key);
    }
    if (key >= 0x70 && key <= 0x7B) {
        return static_cast<Qt::Key>(Qt::Key_F1 + static_cast<int>(key - 0x70));
    }
    switch (key) {
        case static_cast<UINT>(VK_DELETE):
            return Qt::Key_Delete;
        case 0x2D:
            return Qt::Key_Insert;
        case 0x0D:
            return Qt::Key_Return;
        default:
            return Qt::Key_unknown;
    }
}

QKeySequence SequenceOf(UINT key, UINT flags) {
    Qt::KeyboardModifiers modifiers;
    modifiers.setFlag(Qt::ControlModifier, (flags & FCONTROL) != 0);
    modifiers.setFlag(Qt::ShiftModifier, (flags & FSHIFT) != 0);
    modifiers.setFlag(Qt::AltModifier, (flags & FALT) != 0);
    return QKeySequence(QKeyCombination(modifiers, KeyOf(key)));
}

}  // namespace

CDynamicWindowWithButtons::CDynamicWindowWithButtons() = default;

CDynamicWindowWithButtons::~CDynamicWindowWithButtons() = default;

BOOL CDynamicWindowWithButtons::Create(CWnd* owner, CWnd& framed) {
    QWidget* inner = framed.Widget();
    if (inner == nullptr) {
        return FALSE;
    }
    m_owner = owner;
    m_buttons.clear();  // a bar made again (a dialog shown again) starts without the old ones
    const QRect place = inner->geometry();
    QWidget* parent = inner->parentWidget();
    auto bar = std::make_unique<QWidget>(parent);
    bar->setGeometry(place);
    auto* layout = new QVBoxLayout(bar.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* header = new QHBoxLayout();
    header->setContentsMargins(2, 0, 0, 0);
    m_caption = new QLabel(bar.get());
    m_caption->setBuddy(inner);
    QFont bold = m_caption->font();
    bold.setBold(true);
    m_caption->setFont(bold);
    header->addWidget(m_caption, 1);
    layout->addLayout(header);
    layout->addWidget(inner, 1);
    bar->setVisible(true);
    m_images.Create(16, 16);
    if (parent != nullptr) {
        Attach(bar.release());  // the window that held the framed one owns the bar now
    } else {
        Own(std::move(bar));
    }
    return TRUE;
}

int CDynamicWindowWithButtons::AddButton(UINT imageId, const CString& tooltip, UINT key,
                                         UINT keyFlags, UINT command) {
    QWidget* bar = Widget();
    if (bar == nullptr) {
        return -1;
    }
    auto* button = new QToolButton(bar);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);  // the focus stays in the framed window
    CBitmap image;
    if (image.LoadBitmap(imageId)) {
        const int index = m_images.Add(image, kMask);
        button->setIcon(QIcon(m_images.Draw(index)));
    }
    QString tip = QString::fromUtf8(tooltip.GetString());
    QShortcut* shortcut = nullptr;
    if (key != 0) {
        shortcut = new QShortcut(SequenceOf(key, keyFlags), bar);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        QObject::connect(shortcut, &QShortcut::activated, bar, [this, command] { Send(command); });
        tip += " (" + shortcut->key().toString(QKeySequence::NativeText) + ")";
    }
    button->setToolTip(tip);
    QObject::connect(button, &QToolButton::clicked, bar, [this, command] { Send(command); });
    static_cast<QHBoxLayout*>(bar->layout()->itemAt(0)->layout())->addWidget(button);
    m_buttons.push_back({command, button, shortcut});
    return static_cast<int>(m_buttons.size()) - 1;
}

int CDynamicWindowWithButtons::GetButtonNum(UINT command) const {
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons[i].command == command) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void CDynamicWindowWithButtons::EnableButton(int index, bool enable) {
    if (index >= 0 && index < GetButtonCount()) {
        Entry& entry = m_buttons[static_cast<std::size_t>(index)];
        entry.button->setEnabled(enable);
        if (entry.shortcut != nullptr) {
            entry.shortcut->setEnabled(enable);
        }
    }
}

bool CDynamicWindowWithButtons::IsButtonEnabled(int index) const {
    return index >= 0 && index < GetButtonCount() &&
           m_buttons[static_cast<std::size_t>(index)].button->isEnabled();
}

void CDynamicWindowWithButtons::SetCaption(const CString& caption) {
    if (m_caption != nullptr) {
        m_caption->setText(QString::fromUtf8(caption.GetString()));
    }
}

CString CDynamicWindowWithButtons::GetCaption() const {
    return m_caption != nullptr ? CString(m_caption->text().toUtf8().constData()) : CString();
}

QToolButton* CDynamicWindowWithButtons::Button(int index) const {
    return index >= 0 && index < GetButtonCount()
               ? m_buttons[static_cast<std::size_t>(index)].button
               : nullptr;
}

void CDynamicWindowWithButtons::Send(UINT command) {
    const int index = GetButtonNum(command);
    if (m_owner != nullptr && IsButtonEnabled(index)) {
        m_owner->OnCommand(command);
    }
}
