#pragma once
// The colour each object of a part is drawn in, and the order of the layers: an object's own
// colour when the document defines it, else the colour of its layer's kind. Layers are drawn
// from the bottom of the board up, so that the top copper and its print stay on top.

#include <QColor>

#include "host/CColorDefinition.h"
#include "host/CLayerDefinition.h"

class CDrawObject;

class LayerPalette {
public:
    // Copies the definitions; a null one leaves the one before.
    void Init(const CColorDefinition* colours, const CLayerDefinition* layers);

    QColor ColourOf(const CDrawObject& object) const;
    // Smaller ranks are drawn first.
    int RankOf(const CDrawObject& object) const;
    LayerKind KindOf(const CDrawObject& object) const;

    static QColor Background() { return QColor(0x1c, 0x1e, 0x24); }
    static QColor DimensionColour() { return QColor(0xff, 0xd8, 0x4a); }

private:
    CColorDefinition m_colours;
    CLayerDefinition m_layers;
};
