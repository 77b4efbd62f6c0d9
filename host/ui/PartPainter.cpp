#include "host/ui/PartPainter.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "host/CDrwDimension.h"
#include "host/CDrwGroup.h"
#include "host/CDrwShapes.h"
#include "host/ui/LayerPalette.h"

namespace {

constexpr double kArrowPixels = 7.0;
constexpr int kLabelPixels = 11;
constexpr int kArcSegmentsPerTurn = 96;

// The leaves of `object`, groups opened.
void CollectLeaves(const CDrawObject& object, std::vector<const CDrawObject*>& leaves) {
    if (const auto* group = dynamic_cast<const CDrwGroup*>(&object)) {
        for (int i = 0; i < group->GetObjectCount(); ++i) {
            CollectLeaves(*group->GetObject(i), leaves);
        }
        return;
    }
    leaves.push_back(&object);
}

QPointF Point(long x, long y) {
    return {static_cast<double>(x), static_cast<double>(y)};
}

}  // namespace

PartPainter::PartPainter(QPainter& painter, const LayerPalette& palette, const QTransform& view)
    : m_painter(painter), m_palette(palette), m_view(view) {}

void PartPainter::Draw(const std::vector<const CDrawObject*>& objects) {
    std::vector<const CDrawObject*> leaves;
    for (const CDrawObject* object : objects) {
        CollectLeaves(*object, leaves);
    }
    std::vector<const CDrawObject*> shapes;
    std::vector<const CDrwDimension*> dimensions;
    for (const CDrawObject* leaf : leaves) {
        if (const auto* dimension = dynamic_cast<const CDrwDimension*>(leaf)) {
            dimensions.push_back(dimension);
        } else {
            shapes.push_back(leaf);
        }
    }
    std::stable_sort(shapes.begin(), shapes.end(), [this](const auto* a, const auto* b) {
        return m_palette.RankOf(*a) < m_palette.RankOf(*b);
    });
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing);
    for (const CDrawObject* shape : shapes) {
        DrawShape(*shape);
    }
    for (const CDrwDimension* dimension : dimensions) {
        DrawDimension(*dimension);
    }
    m_painter.restore();
}

void PartPainter::DrawShape(const CDrawObject& object) {
    const QColor colour = m_palette.ColourOf(object);
    m_painter.setTransform(m_view);
    if (const auto* pad = dynamic_cast<const CDrwPad*>(&object)) {
        DrawPad(*pad, colour);
    } else if (const auto* line = dynamic_cast<const CDrwLine*>(&object)) {
        DrawLine(*line, colour);
    } else if (const auto* arc = dynamic_cast<const CDrwArc*>(&object)) {
        DrawArc(*arc, colour);
    } else if (const auto* circle = dynamic_cast<const CDrwCircle*>(&object)) {
        DrawCircle(*circle, colour);
    } else if (const auto* polygon = dynamic_cast<const CDrwPolygon*>(&object)) {
        DrawPolygon(*polygon, colour);
    } else if (const auto* text = dynamic_cast<const CDrwText*>(&object)) {
        DrawText(*text, colour);
    }
}

// Cosmetic, its width set in device pixels: Qt refuses pen widths as large as nanometres make.
QPen PartPainter::PenOf(const QColor& colour, long width) const {
    QPen pen(colour);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCosmetic(true);
    pen.setWidthF(std::max(1.0, static_cast<double>(width) * m_view.m11()));
    return pen;
}

// Drawn in the pad's own frame, its centre at the origin, then turned and moved into place.
void PartPainter::DrawPad(const CDrwPad& pad, const QColor& colour) {
    m_painter.save();
    m_painter.translate(Point(pad.m_x, pad.m_y));
    m_painter.rotate(static_cast<double>(pad.m_rotation) / 1000.0);
    const QRectF body(static_cast<double>(-pad.m_width / 2), static_cast<double>(-pad.m_height / 2),
                      static_cast<double>(pad.m_width), static_cast<double>(pad.m_height));
    const double shorter = std::min(body.width(), body.height());
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(colour);
    if (pad.m_bPlated || pad.m_drill == 0) {
        switch (pad.m_eShape) {
            case PadShape::kRound:
                m_painter.drawEllipse(body);
                break;
            case PadShape::kRectangle:
                m_painter.drawRect(body);
                break;
            case PadShape::kOval:
                m_painter.drawRoundedRect(body, shorter / 2, shorter / 2);
                break;
            case PadShape::kRoundedRectangle:
                m_painter.drawRoundedRect(body, shorter / 4, shorter / 4);
                break;
            case PadShape::kPolygon: {
                QPolygonF outline;
                for (const auto& [x, y] : pad.m_outline) {
                    outline << QPointF(static_cast<double>(x), static_cast<double>(y));
                }
                m_painter.drawPolygon(outline);
                break;
            }
        }
    } else {
        m_painter.setPen(PenOf(colour, 0));  // a bare hole: its rim only
    }
    if (pad.m_drill > 0) {
        const double width = static_cast<double>(pad.m_drill);
        const double height =
            static_cast<double>(pad.m_drillHeight > 0 ? pad.m_drillHeight : pad.m_drill);
        const double radius = std::min(width, height) / 2;
        m_painter.setBrush(LayerPalette::Background());
        m_painter.drawRoundedRect(QRectF(-width / 2, -height / 2, width, height), radius, radius);
    }
    m_painter.restore();
}

void PartPainter::DrawLine(const CDrwLine& line, const QColor& colour) {
    m_painter.setPen(PenOf(colour, line.m_width));
    m_painter.drawLine(Point(line.m_x1, line.m_y1), Point(line.m_x2, line.m_y2));
}

// Walked point by point: with y turned upwards, Qt's own arcs would turn the wrong way.
void PartPainter::DrawArc(const CDrwArc& arc, const QColor& colour) {
    const double start = static_cast<double>(arc.m_startAngle) / 1000.0 * M_PI / 180.0;
    const double sweep = static_cast<double>(arc.m_sweepAngle) / 1000.0 * M_PI / 180.0;
    const int steps =
        std::max(2, static_cast<int>(std::abs(sweep) / (2 * M_PI) * kArcSegmentsPerTurn));
    QPainterPath path;
    for (int i = 0; i <= steps; ++i) {
        const double angle = start + sweep * i / steps;
        const QPointF at(static_cast<double>(arc.m_cx) + arc.m_radius * std::cos(angle),
                         static_cast<double>(arc.m_cy) + arc.m_radius * std::sin(angle));
        i == 0 ? path.moveTo(at) : path.lineTo(at);
    }
    m_painter.setPen(PenOf(colour, arc.m_width));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawPath(path);
}

void PartPainter::DrawCircle(const CDrwCircle& circle, const QColor& colour) {
    const auto radius = static_cast<double>(circle.m_radius);
    m_painter.setPen(PenOf(colour, circle.m_width));
    m_painter.setBrush(circle.m_bFilled ? QBrush(colour) : QBrush(Qt::NoBrush));
    m_painter.drawEllipse(Point(circle.m_cx, circle.m_cy), radius, radius);
}

void PartPainter::DrawPolygon(const CDrwPolygon& polygon, const QColor& colour) {
    QPolygonF points;
    for (const auto& [x, y] : polygon.m_points) {
        points << Point(x, y);
    }
    m_painter.setPen(PenOf(colour, polygon.m_width));
    m_painter.setBrush(polygon.m_bFilled ? QBrush(colour) : QBrush(Qt::NoBrush));
    m_painter.drawPolygon(points);
}

// Laid out in device pixels from its anchor, the baseline's left end, turned by its rotation.
void PartPainter::DrawText(const CDrwText& text, const QColor& colour) {
    const QPointF anchor = m_view.map(Point(text.m_x, text.m_y));
    const double pixels = static_cast<double>(text.m_height) * m_view.m11();
    if (pixels < 3.0) {
        return;  // too small to read
    }
    m_painter.setTransform(QTransform());
    m_painter.translate(anchor);
    m_painter.rotate(-static_cast<double>(text.m_rotation) / 1000.0);
    QFont font = m_painter.font();
    font.setPixelSize(static_cast<int>(std::lround(pixels)));
    m_painter.setFont(font);
    m_painter.setPen(colour);
    m_painter.drawText(QPointF(0, 0), QString::fromUtf8(text.m_strText.GetString()));
}

// An arrowed line between the two measured points with its text in the middle, on a plate of
// the background colour so that it reads over the part.
void PartPainter::DrawDimension(const CDrwDimension& dimension) {
    const QPointF from = m_view.map(Point(dimension.m_x1, dimension.m_y1));
    const QPointF to = m_view.map(Point(dimension.m_x2, dimension.m_y2));
    m_painter.setTransform(QTransform());
    QPen pen(LayerPalette::DimensionColour());
    pen.setWidthF(1.2);
    m_painter.setPen(pen);
    m_painter.setBrush(LayerPalette::DimensionColour());
    m_painter.drawLine(from, to);
    const QLineF line(from, to);
    if (line.length() >= 2 * kArrowPixels) {
        for (const auto& [tip, back] : {std::pair{from, to}, std::pair{to, from}}) {
            QLineF shaft(tip, back);
            shaft.setLength(kArrowPixels);
            const QLineF left =
                QLineF::fromPolar(kArrowPixels * 0.45, shaft.angle() + 90).translated(shaft.p2());
            const QLineF right =
                QLineF::fromPolar(kArrowPixels * 0.45, shaft.angle() - 90).translated(shaft.p2());
            m_painter.drawPolygon(QPolygonF() << tip << left.p2() << right.p2());
        }
    }
    QFont font = m_painter.font();
    font.setPixelSize(kLabelPixels);
    m_painter.setFont(font);
    const QString label = QString::fromUtf8(dimension.m_strText.GetString());
    QRectF box = QFontMetricsF(font).boundingRect(label).adjusted(-3, -1, 3, 1);
    box.moveCenter(line.center());
    // A text near the edge of the view moves in rather than being cut.
    const QRectF view(0, 0, m_painter.device()->width(), m_painter.device()->height());
    box.moveLeft(
        std::clamp(box.left(), view.left(), std::max(view.left(), view.right() - box.width())));
    box.moveTop(
        std::clamp(box.top(), view.top(), std::max(view.top(), view.bottom() - box.height())));
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(LayerPalette::Background());
    m_painter.drawRoundedRect(box, 2, 2);
    m_painter.setPen(LayerPalette::DimensionColour());
    m_painter.drawText(box, Qt::AlignCenter, label);
}
