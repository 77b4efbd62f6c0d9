// The starter footprints have the pitches, spans and pad counts of their packages.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "apps/vaultry/StarterSet.h"
#include "host/CDrwShapes.h"
#include "host/FootprintGenerator.h"

namespace {

using vaultry::cli::StarterParts;

struct Measured {
    std::size_t pads = 0;
    long pitch = 0;    // between pads 1 and 2
    long rowSpan = 0;  // across, from pad 1 to the last pad
    long drill = 0;
};

Measured Measure(const CDrwGroup& group) {
    const auto pads = group.Pads();
    Measured m;
    m.pads = pads.size();
    if (pads.size() >= 2) {
        m.pitch = std::abs(pads[0]->m_y - pads[1]->m_y) + std::abs(pads[0]->m_x - pads[1]->m_x);
        m.rowSpan = std::abs(pads.back()->m_x - pads[0]->m_x);
    }
    m.drill = pads.empty() ? 0 : pads[0]->m_drill;
    return m;
}

TEST(StarterSetTest, EveryPackageHasItsLandPattern) {
    std::map<std::string, Measured> measured;
    std::set<std::string> categories;
    for (const auto& part : StarterParts()) {
        const std::string name = part.group->GetName()->str();
        EXPECT_TRUE(measured.emplace(name, Measure(*part.group)).second) << "twice: " << name;
        categories.insert(part.category);
    }
    EXPECT_EQ(measured.size(), 40u);
    EXPECT_EQ(categories.size(), 9u);

    struct Expected {
        const char* name;
        std::size_t pads;
        long pitch;
        long rowSpan;
        long drill;
    };
    const Expected expected[] = {
        {"R0201", 2, Millimetres(0.58), Millimetres(0.58), 0},
        {"C2512", 2, Millimetres(5.9), Millimetres(5.9), 0},
        {"SOIC-8", 8, Millimetres(1.27), Millimetres(5.4), 0},
        {"SOIC-16", 16, Millimetres(1.27), Millimetres(5.4), 0},
        {"TSSOP-20", 20, Millimetres(0.65), Millimetres(5.8), 0},
        {"DIP-14", 14, Millimetres(2.54), Millimetres(7.62), Millimetres(0.8)},
        // The last pad is the thermal pad in the middle.
        {"QFN-16_3x3", 17, Millimetres(0.5), Millimetres(1.45), 0},
        {"QFN-32_5x5", 33, Millimetres(0.5), Millimetres(2.45), 0},
        {"SOT-23", 3, Millimetres(1.9), Millimetres(0.95), 0},
        {"SOT-223", 4, Millimetres(2.3), Millimetres(2.3), 0},
        {"TO-220-3", 3, Millimetres(2.54), Millimetres(5.08), Millimetres(1.1)},
        {"PinHeader_1x10_P2.54mm", 10, Millimetres(2.54), 0, Millimetres(1.0)},
        {"PinHeader_2x05_P2.54mm", 10, Millimetres(2.54), Millimetres(2.54), Millimetres(1.0)},
    };
    for (const Expected& e : expected) {
        ASSERT_TRUE(measured.count(e.name)) << e.name;
        const Measured& m = measured[e.name];
        EXPECT_EQ(m.pads, e.pads) << e.name;
        EXPECT_EQ(m.pitch, e.pitch) << e.name;
        EXPECT_EQ(m.rowSpan, e.rowSpan) << e.name;
        EXPECT_EQ(m.drill, e.drill) << e.name;
    }
}

TEST(StarterSetTest, QuadPadsRunCounterClockwiseAroundTheBody) {
    QuadPattern pattern;
    pattern.pins = 8;
    pattern.pitch = Millimetres(1);
    pattern.span = Millimetres(4);
    pattern.thermalPad = 0;
    const auto group = MakeQuadFootprint("Q8", "U1", pattern);
    const auto pads = group->Pads();
    ASSERT_EQ(pads.size(), 8u);
    // Pin 1 at the top of the left side, then counter-clockwise; in half millimetres.
    const std::pair<long, long> expected[] = {{-4, 1}, {-4, -1}, {-1, -4}, {1, -4},
                                              {4, -1}, {4, 1},   {1, 4},   {-1, 4}};
    for (std::size_t i = 0; i < pads.size(); ++i) {
        EXPECT_EQ(pads[i]->m_x, expected[i].first * Millimetres(0.5)) << "pin " << i + 1;
        EXPECT_EQ(pads[i]->m_y, expected[i].second * Millimetres(0.5)) << "pin " << i + 1;
    }
    EXPECT_EQ(pads[2]->m_width, pattern.padWidth);  // bottom pads stand upright
    EXPECT_EQ(pads[0]->m_width, pattern.padLength);
}

}  // namespace
