#include "host/ui/CPartSheetWnd.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "host/CDrwSubSheet.h"

namespace {

constexpr CRect kFirstPlace{0, 0, 520, 420};

// Calls its handler when the watched window is hidden.
class HideWatch : public QObject {
public:
    HideWatch(std::function<void()>& handler, QObject* parent)
        : QObject(parent), m_handler(handler) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && watched == parent() && m_handler) {
            m_handler();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()>& m_handler;
};

}  // namespace

CPartSheetWnd::CPartSheetWnd(std::unique_ptr<CDrwSubSheet> sheet, const CString& partName)
    : m_sheet(std::move(sheet)), m_partName(partName) {}

CPartSheetWnd::~CPartSheetWnd() {
    m_view.RemoveAllObjects();
    DestroyWindow();  // the view and the buttons go before the sheet they show
}

BOOL CPartSheetWnd::Create(StoreAction store) {
    m_store = std::move(store);
    if (!CWnd::Create(nullptr, kFirstPlace, 0)) {
        return FALSE;
    }
    m_view.Create(CRect{0, 0, 10, 10}, this);
    m_view.Init(&m_sheet->GetColorDefinition(), &m_sheet->GetLayerDefinition(), nullptr);
    m_storeButton = new QPushButton(QStringLiteral("&Store in library..."), Widget());
    auto* close = new QPushButton(QStringLiteral("&Close"), Widget());
    QObject::connect(m_storeButton, &QPushButton::clicked, Widget(), [this] { Store(); });
    QObject::connect(close, &QPushButton::clicked, Widget(), [this] { Close(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_storeButton);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(Widget());
    layout->addWidget(m_view.Widget(), 1);
    layout->addLayout(buttons);
    Widget()->installEventFilter(new HideWatch(m_onHidden, Widget()));
    UpdateCaption();
    Refresh();
    Widget()->show();
    return TRUE;
}

void CPartSheetWnd::SetPartName(const CString& name) {
    m_partName = name;
    UpdateCaption();
}

void CPartSheetWnd::UpdateCaption() {
    const CString part = m_partName.IsEmpty() ? CString("New part") : m_partName;
    SetWindowText(part + " - " + m_sheet->GetDocType());
}

void CPartSheetWnd::Refresh() {
    m_view.RemoveAllObjects();
    for (int i = 0; i < m_sheet->GetObjectCount(); ++i) {
        m_view.AddDrawObject(m_sheet->GetObject(i), true);
    }
    m_view.ZoomToFitObjects();
    if (m_storeButton != nullptr) {
        m_storeButton->setEnabled(m_sheet->GetObjectCount() > 0);
    }
}

void CPartSheetWnd::Store() {
    if (IsStoreEnabled() && m_store) {
        m_store(*this);
    }
}

bool CPartSheetWnd::IsStoreEnabled() const {
    return m_storeButton != nullptr && m_storeButton->isEnabled();
}

void CPartSheetWnd::Close() {
    if (Widget() != nullptr) {
        Widget()->close();
    }
}
