#include "host/FootprintGenerator.h"

#include "host/BuiltInPlugIns.h"
#include "host/CDrwShapes.h"

namespace {

constexpr long kSilkWidth = Millimetres(0.15);
constexpr long kCourtyardWidth = Millimetres(0.05);
constexpr long kCourtyardMargin = Millimetres(0.25);
constexpr long kTextHeight = Millimetres(1.0);

template <typename Shape, typename... Args>
std::unique_ptr<CDrawObject> OnLayer(long layer, Args&&... args) {
    auto shape = std::make_unique<Shape>(std::forward<Args>(args)...);
    shape->SetLayer(layer);
    return shape;
}

// Silkscreen rectangle, courtyard around the pads, designator above the part.
void AddOutline(CDrwGroup& group, const CString& designator, long bodyHalfWidth,
                long bodyHalfHeight) {
    const long l = -bodyHalfWidth, r = bodyHalfWidth, t = bodyHalfHeight, b = -bodyHalfHeight;
    for (const auto& [x1, y1, x2, y2] : {std::tuple{l, t, r, t}, std::tuple{r, t, r, b},
                                         std::tuple{r, b, l, b}, std::tuple{l, b, l, t}}) {
        group.Add(OnLayer<CDrwLine>(kLayerSilkscreenTop, x1, y1, x2, y2, kSilkWidth));
    }
    const CKVRect pads = group.GetBoundingBox();
    const long m = kCourtyardMargin;
    group.Add(
        OnLayer<CDrwPolygon>(kLayerCourtyard,
                             std::vector<std::pair<long, long>>{{pads.left - m, pads.top + m},
                                                                {pads.right + m, pads.top + m},
                                                                {pads.right + m, pads.bottom - m},
                                                                {pads.left - m, pads.bottom - m}},
                             kCourtyardWidth, false));
    group.Add(OnLayer<CDrwText>(kLayerSilkscreenTop, pads.left, pads.top + m + kTextHeight / 2,
                                designator, kTextHeight));
    group.AddAttribute(std::make_unique<CDrawAttribute>(KV_REFDES, designator));
}

}  // namespace

std::unique_ptr<CDrwGroup> MakeTwoRowFootprint(const CString& name, const CString& designator,
                                               const TwoRowPattern& pattern) {
    auto group = std::make_unique<CDrwGroup>();
    group->SetName(name);
    const int perRow = pattern.pins / 2;
    const long top = (perRow - 1) * pattern.pitch / 2;
    const PadShape shape = pattern.drill > 0 ? PadShape::kRound : PadShape::kRoundedRectangle;
    for (int pin = 0; pin < pattern.pins; ++pin) {
        const bool left = pin < perRow;
        const int index = left ? pin : pattern.pins - 1 - pin;
        const long x = left ? -pattern.rowSpan / 2 : pattern.rowSpan / 2;
        const long y = top - index * pattern.pitch;
        CString number;
        number.Format("%d", pin + 1);
        const PadShape padShape = pin == 0 && pattern.drill > 0 ? PadShape::kRectangle : shape;
        group->Add(OnLayer<CDrwPad>(kLayerCopperTop, number, padShape, x, y, pattern.padWidth,
                                    pattern.padHeight, pattern.drill));
    }
    const long bodyHalfWidth = pattern.rowSpan / 2 - pattern.padWidth / 2 - Millimetres(0.2);
    AddOutline(*group, designator, bodyHalfWidth > 0 ? bodyHalfWidth : Millimetres(0.5),
               top + pattern.pitch / 2 + Millimetres(0.2));
    group->Add(OnLayer<CDrwCircle>(kLayerSilkscreenTop, -pattern.rowSpan / 2 - pattern.padWidth,
                                   top + pattern.padHeight, Millimetres(0.15), 0, true));
    return group;
}

std::unique_ptr<CDrwGroup> MakeChipFootprint(const CString& name, const CString& designator,
                                             long padSpan, long padWidth, long padHeight) {
    auto group = std::make_unique<CDrwGroup>();
    group->SetName(name);
    group->Add(OnLayer<CDrwPad>(kLayerCopperTop, "1", PadShape::kRoundedRectangle, -padSpan / 2, 0,
                                padWidth, padHeight));
    group->Add(OnLayer<CDrwPad>(kLayerCopperTop, "2", PadShape::kRoundedRectangle, padSpan / 2, 0,
                                padWidth, padHeight));
    AddOutline(*group, designator, padSpan / 2 + padWidth / 2, padHeight / 2 + Millimetres(0.1));
    group->Add(OnLayer<CDrwArc>(kLayerAssembly, 0, 0, padHeight / 4, 0, 180000, Millimetres(0.1)));
    return group;
}

std::unique_ptr<CDrwGroup> MakeQuadFootprint(const CString& name, const CString& designator,
                                             const QuadPattern& pattern) {
    auto group = std::make_unique<CDrwGroup>();
    group->SetName(name);
    const int perSide = pattern.pins / 4;
    const long first = (perSide - 1) * pattern.pitch / 2;
    const long half = pattern.span / 2;
    for (int pin = 0; pin < perSide * 4; ++pin) {
        const int side = pin / perSide;
        const long along = first - (pin % perSide) * pattern.pitch;
        // Left, bottom, right, top: where the side lies and which way its pins run.
        constexpr int kSideX[] = {-1, 0, 1, 0};
        constexpr int kSideY[] = {0, -1, 0, 1};
        constexpr int kRunX[] = {0, -1, 0, 1};
        constexpr int kRunY[] = {1, 0, -1, 0};
        const long x = kSideX[side] * half + kRunX[side] * along;
        const long y = kSideY[side] * half + kRunY[side] * along;
        const bool across = side % 2 == 0;  // left and right pads lie along the x axis
        CString number;
        number.Format("%d", pin + 1);
        group->Add(OnLayer<CDrwPad>(kLayerCopperTop, number, PadShape::kRoundedRectangle, x, y,
                                    across ? pattern.padLength : pattern.padWidth,
                                    across ? pattern.padWidth : pattern.padLength));
    }
    if (pattern.thermalPad > 0) {
        CString number;
        number.Format("%d", perSide * 4 + 1);
        group->Add(OnLayer<CDrwPad>(kLayerCopperTop, number, PadShape::kRectangle, 0, 0,
                                    pattern.thermalPad, pattern.thermalPad));
    }
    const long body = half - pattern.padLength / 2;
    AddOutline(*group, designator, body, body);
    group->Add(OnLayer<CDrwCircle>(kLayerSilkscreenTop, -half - pattern.padLength,
                                   first + pattern.padWidth * 2, Millimetres(0.15), 0, true));
    return group;
}

std::unique_ptr<CDrwGroup> MakePlacedFootprint(const CString& name, const CString& designator,
                                               const std::vector<PadPlacement>& pads,
                                               long bodyWidth, long bodyHeight) {
    auto group = std::make_unique<CDrwGroup>();
    group->SetName(name);
    for (const PadPlacement& pad : pads) {
        const bool first = &pad == &pads.front();
        const PadShape shape = pad.drill > 0 ? (first ? PadShape::kRectangle : PadShape::kRound)
                                             : PadShape::kRoundedRectangle;
        group->Add(OnLayer<CDrwPad>(kLayerCopperTop, pad.number, shape, pad.x, pad.y, pad.width,
                                    pad.height, pad.drill));
    }
    AddOutline(*group, designator, bodyWidth / 2, bodyHeight / 2);
    return group;
}
