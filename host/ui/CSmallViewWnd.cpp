#include "host/ui/CSmallViewWnd.h"

#include <QPaintEvent>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <memory>

#include "host/CDrawObject.h"
#include "host/CDrwObList.h"
#include "host/CTotalLayerInformation.h"
#include "host/ui/PartPainter.h"

namespace {

constexpr double kMarginPixels = 12.0;

// The widget of the view: paints through its view at every paint, so a resize refits.
class ViewCanvas : public QWidget {
public:
    explicit ViewCanvas(const CSmallViewWnd& view) : m_view(view) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMinimumSize(16, 16);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        m_view.Paint(painter, width(), height());
    }

private:
    const CSmallViewWnd& m_view;
};

// The transform that puts `box` (nanometres, y up) in the middle of a `width` by `height`
// device, as large as fits within the margin.
QTransform Fit(const CKVRect& box, int width, int height) {
    const double spanX = std::max<double>(static_cast<double>(box.Width()), 1.0);
    const double spanY = std::max<double>(static_cast<double>(box.Height()), 1.0);
    const double usableX = std::max(1.0, width - 2 * kMarginPixels);
    const double usableY = std::max(1.0, height - 2 * kMarginPixels);
    const double scale = std::min(usableX / spanX, usableY / spanY);
    const double centreX = (static_cast<double>(box.left) + static_cast<double>(box.right)) / 2;
    const double centreY = (static_cast<double>(box.top) + static_cast<double>(box.bottom)) / 2;
    QTransform view;
    view.translate(width / 2.0, height / 2.0);
    view.scale(scale, -scale);
    view.translate(-centreX, -centreY);
    return view;
}

}  // namespace

CSmallViewWnd::CSmallViewWnd() = default;

CSmallViewWnd::~CSmallViewWnd() = default;

BOOL CSmallViewWnd::Create(const CRect& rect, CWnd* parent) {
    Adopt(std::make_unique<ViewCanvas>(*this), parent, rect, 0);
    return TRUE;
}

void CSmallViewWnd::Init(const CColorDefinition* colours, const CLayerDefinition* layers,
                         const CTotalLayerInformation* total) {
    m_palette.Init(colours, layers != nullptr  ? layers
                            : total != nullptr ? &total->GetLayerDefinition()
                                               : nullptr);
    Invalidate();
}

void CSmallViewWnd::AddDrawObject(CDrawObject* object, bool /*flag*/) {
    if (object != nullptr) {
        m_objects.push_back(object);
        Invalidate();
    }
}

void CSmallViewWnd::AddList(const CDrwObList* list) {
    for (int i = 0; list != nullptr && i < list->GetCount(); ++i) {
        m_objects.push_back(list->GetAt(i));
    }
    Invalidate();
}

void CSmallViewWnd::SetObjectList(const CDrwObList* list) {
    m_objects.clear();
    AddList(list);
}

void CSmallViewWnd::RemoveAllObjects() {
    m_objects.clear();
    Invalidate();
}

// The view always fits what it shows, at every paint: zooming to fit is a redraw.
void CSmallViewWnd::ZoomToFitObjects() {
    Invalidate();
}

void CSmallViewWnd::Invalidate() {
    if (Widget() != nullptr) {
        Widget()->update();
    }
}

void CSmallViewWnd::SetMessage(const CString& message) {
    m_message = message;
    Invalidate();
}

void CSmallViewWnd::Paint(QPainter& painter, int width, int height) const {
    painter.fillRect(0, 0, width, height, LayerPalette::Background());
    if (m_objects.empty() && !m_message.IsEmpty()) {
        painter.setPen(QColor(0xc8, 0xc8, 0xd0));
        painter.drawText(QRect(0, 0, width, height), Qt::AlignCenter | Qt::TextWordWrap,
                         QString::fromUtf8(m_message.GetString()));
        return;
    }
    CKVRect box = CKVRect::Empty();
    for (const CDrawObject* object : m_objects) {
        box = box.Union(object->GetBoundingBox());
    }
    if (box.IsEmpty()) {
        return;
    }
    PartPainter(painter, m_palette, Fit(box, width, height)).Draw(m_objects);
}
