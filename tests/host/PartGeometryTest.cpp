// The land-pattern facts users search by, measured on the footprints the generator makes and on
// hand-placed pads: pads, pitch, rows, span, body, and surface or through-hole; and pad
// patterns compared wherever they stand and however they are turned.

#include <gtest/gtest.h>

#include <array>

#include "host/BuiltInPlugIns.h"
#include "host/CDrwGroup.h"
#include "host/CDrwShapes.h"
#include "host/FootprintGenerator.h"
#include "host/PadPattern.h"
#include "host/PartGeometry.h"

namespace {

TEST(PartGeometryTest, TwoRowPackagesHaveTwoRowsAtTheirPitchAndSpan) {
    const auto soic = MakeTwoRowFootprint("SOIC-8", "U1", TwoRowPattern{});
    const PartGeometry geometry = MeasureGeometry(*soic);
    EXPECT_EQ(geometry.padCount, 8);
    EXPECT_EQ(geometry.pitch, Millimetres(1.27));
    EXPECT_EQ(geometry.rowCount, 2);
    EXPECT_EQ(geometry.span, Millimetres(5.4));
    EXPECT_TRUE(geometry.smd);
    EXPECT_GT(geometry.bodyWidth, Millimetres(5.4));  // the courtyard holds the pads

    TwoRowPattern dip{14,
                      Millimetres(2.54),
                      Millimetres(7.62),
                      Millimetres(1.6),
                      Millimetres(1.6),
                      Millimetres(0.8)};
    const PartGeometry through = MeasureGeometry(*MakeTwoRowFootprint("DIP-14", "U1", dip));
    EXPECT_EQ(through.padCount, 14);
    EXPECT_EQ(through.pitch, Millimetres(2.54));
    EXPECT_EQ(through.rowCount, 2);
    EXPECT_EQ(through.span, Millimetres(7.62));
    EXPECT_FALSE(through.smd);
}

TEST(PartGeometryTest, AQuadPackageHasFourRowsAndItsThermalPadCountsAsAPad) {
    auto quad = MakeQuadFootprint("QFN-16", "U1", QuadPattern{});
    auto paste =
        std::make_unique<CDrwPad>("", PadShape::kRectangle, 400000, 400000, 600000, 600000);
    paste->SetLayer(kLayerPasteTop);  // a paste window on the thermal pad: no pad of its own
    quad->Add(std::move(paste));
    const PartGeometry qfn = MeasureGeometry(*quad);
    EXPECT_EQ(qfn.padCount, 17);
    EXPECT_EQ(qfn.pitch, Millimetres(0.5));
    EXPECT_EQ(qfn.rowCount, 4);
    EXPECT_EQ(qfn.span, Millimetres(2.9));
}

TEST(PartGeometryTest, AChipIsOneRowAndLonePadsHaveNoPitch) {
    const PartGeometry chip = MeasureGeometry(
        *MakeChipFootprint("R0603", "R1", Millimetres(1.6), Millimetres(0.9), Millimetres(0.95)));
    EXPECT_EQ(chip.padCount, 2);
    EXPECT_EQ(chip.pitch, Millimetres(1.6));
    EXPECT_EQ(chip.rowCount, 1);
    EXPECT_EQ(chip.span, 0);

    CDrwGroup scattered;
    scattered.Add(std::make_unique<CDrwPad>("1", PadShape::kRound, 0, 0, 100, 100));
    scattered.Add(std::make_unique<CDrwPad>("2", PadShape::kRound, 3000000, 7000000, 100, 100));
    const PartGeometry apart = MeasureGeometry(scattered);
    EXPECT_EQ(apart.padCount, 2);
    EXPECT_EQ(apart.pitch, 0);
    EXPECT_EQ(apart.rowCount, 0);
    EXPECT_EQ(MeasureGeometry(CDrwGroup()), PartGeometry{});
}

// Centres that differ by rounding stand in one line.
TEST(PartGeometryTest, CentresRoundedApartStillShareTheirLine) {
    CDrwGroup part;
    const long xs[] = {0, 1270000, 2540001, 3809999};
    for (const long x : xs) {
        part.Add(std::make_unique<CDrwPad>("1", PadShape::kRectangle, x, 400, 600, 1500));
    }
    const PartGeometry row = MeasureGeometry(part);
    EXPECT_EQ(row.rowCount, 1);
    EXPECT_NEAR(row.pitch, 1270000, 2);
}

}  // namespace

namespace {

std::unique_ptr<CDrwGroup> Pads(const std::vector<std::array<long, 4>>& pads) {
    auto part = std::make_unique<CDrwGroup>();
    for (const auto& [x, y, width, height] : pads) {
        part->Add(std::make_unique<CDrwPad>("1", PadShape::kRectangle, x, y, width, height));
    }
    return part;
}

TEST(PadPatternTest, PatternsMatchMovedAndTurnedButNotChanged) {
    const auto soic = MakeTwoRowFootprint("SOIC-8", "U1", TwoRowPattern{});
    const PadPattern pattern(*soic);
    EXPECT_EQ(pattern.PadCount(), 8u);

    auto moved = MakeTwoRowFootprint("SOIC-8", "U1", TwoRowPattern{});
    moved->Offset(3000000, -7000000);
    EXPECT_TRUE(pattern.Matches(PadPattern(*moved), 1000));

    // The same pads turned a quarter: columns become rows, each pad's sides change places.
    std::vector<std::array<long, 4>> turned;
    for (const CDrwPad* pad : soic->Pads()) {
        turned.push_back({-pad->m_y, pad->m_x, pad->m_height, pad->m_width});
    }
    EXPECT_TRUE(pattern.Matches(PadPattern(*Pads(turned)), 1000));

    TwoRowPattern wider;
    wider.rowSpan = Millimetres(5.6);
    EXPECT_FALSE(pattern.Matches(PadPattern(*MakeTwoRowFootprint("W", "U1", wider)), 1000));
    EXPECT_TRUE(
        pattern.Matches(PadPattern(*MakeTwoRowFootprint("W", "U1", wider)), Millimetres(0.1)));
    EXPECT_FALSE(PadPattern(CDrwGroup()).Matches(PadPattern(CDrwGroup()), 1000));
}

}  // namespace
