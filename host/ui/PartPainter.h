#pragma once
// Draws drawing objects with a QPainter: pads, lines, arcs, circles, polygons and texts in
// their layers' colours, and dimensions as arrowed lines with their texts. Geometry is in
// nanometres with y growing upwards; `view` maps it onto the device (y downwards). Texts and
// arrows are laid out in device pixels, so that they stay readable at every zoom.

#include <QPainter>
#include <QTransform>
#include <vector>

class CDrawObject;
class CDrwArc;
class CDrwCircle;
class CDrwDimension;
class CDrwLine;
class CDrwPad;
class CDrwPolygon;
class CDrwText;
class LayerPalette;

class PartPainter {
public:
    // `painter` and `palette` are not owned and must outlive the painter.
    PartPainter(QPainter& painter, const LayerPalette& palette, const QTransform& view);

    // Draws `objects` and what their groups hold, layer by layer from the bottom of the board;
    // dimensions last, over everything.
    void Draw(const std::vector<const CDrawObject*>& objects);

private:
    void DrawShape(const CDrawObject& object);
    void DrawPad(const CDrwPad& pad, const QColor& colour);
    void DrawLine(const CDrwLine& line, const QColor& colour);
    void DrawArc(const CDrwArc& arc, const QColor& colour);
    void DrawCircle(const CDrwCircle& circle, const QColor& colour);
    void DrawPolygon(const CDrwPolygon& polygon, const QColor& colour);
    void DrawText(const CDrwText& text, const QColor& colour);
    void DrawDimension(const CDrwDimension& dimension);
    // A pen `width` nanometres wide, never thinner than a device pixel.
    QPen PenOf(const QColor& colour, long width) const;

    QPainter& m_painter;
    const LayerPalette& m_palette;
    QTransform m_view;
};
