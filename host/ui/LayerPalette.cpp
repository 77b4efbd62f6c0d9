#include "host/ui/LayerPalette.h"

#include "host/CDrawObject.h"

namespace {

struct KindLook {
    LayerKind kind;
    QRgb colour;
};

// In drawing order, bottom of the board first.
constexpr KindLook kLooks[] = {
    {LayerKind::kCourtyard, 0xc864c8},
    {LayerKind::kMechanical, 0x64c8c8},
    {LayerKind::kAssembly, 0xc8c864},
    {LayerKind::kSilkscreenBottom, 0x9a9ae6},
    {LayerKind::kSolderMaskBottom, 0x1f6f3a},
    {LayerKind::kPasteBottom, 0x7a7a8c},
    {LayerKind::kCopperBottom, 0x3c78d8},
    {LayerKind::kCopperInner, 0xd2a03c},
    {LayerKind::kSolderMaskTop, 0x2a8a46},
    {LayerKind::kCopperTop, 0xd23c3c},
    {LayerKind::kPasteTop, 0xa0a0b4},
    {LayerKind::kSilkscreenTop, 0xf0f0f0},
    {LayerKind::kDrill, 0x1c1e24},
};

}  // namespace

void LayerPalette::Init(const CColorDefinition* colours, const CLayerDefinition* layers) {
    if (colours != nullptr) {
        m_colours.Init(*colours);
    }
    if (layers != nullptr) {
        m_layers.Init(*layers);
    }
}

LayerKind LayerPalette::KindOf(const CDrawObject& object) const {
    const LayerInfo* layer = m_layers.FindById(object.GetLayer());
    return layer != nullptr ? layer->kind : LayerKind::kMechanical;
}

QColor LayerPalette::ColourOf(const CDrawObject& object) const {
    if (object.GetColor() != 0) {
        if (const ColorInfo* own = m_colours.FindById(object.GetColor())) {
            return QColor(static_cast<QRgb>(own->rgb));
        }
    }
    const LayerKind kind = KindOf(object);
    for (const KindLook& look : kLooks) {
        if (look.kind == kind) {
            return QColor(look.colour);
        }
    }
    return QColor(0x64c8c8);
}

int LayerPalette::RankOf(const CDrawObject& object) const {
    const LayerKind kind = KindOf(object);
    for (int rank = 0; rank < static_cast<int>(std::size(kLooks)); ++rank) {
        if (kLooks[rank].kind == kind) {
            return rank;
        }
    }
    return 0;
}
