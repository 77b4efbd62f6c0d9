// KiCad footprint files as the import reads them: the s-expressions (strings, escapes, lines of
// nodes, damage), and footprints of KiCad 6 and KiCad 5 turned into the parts' objects (y turned
// upwards, millimetres into nanometres, pads turned by right angles, arcs by three points or by
// centre and angle), with what the objects cannot hold counted by kind.

#include <gtest/gtest.h>

#include <numbers>

#include "apps/vaultry/kicad/KicadFootprint.h"
#include "apps/vaultry/kicad/SExpression.h"
#include "host/BuiltInPlugIns.h"
#include "host/CDrwGroup.h"
#include "host/CDrwShapes.h"

namespace {

using vaultry::kicad::Footprint;
using vaultry::kicad::ParseSExpression;
using vaultry::kicad::ReadFootprint;
using vaultry::kicad::SExpression;
using vaultry::kicad::SExpressionError;

constexpr long kMm = 1000000;

// The line an error names, or 0 when the text reads.
int ErrorLine(const std::string& text) {
    try {
        ReadFootprint(text);
    } catch (const SExpressionError& error) {
        return error.Line();
    }
    return 0;
}

template <typename Shape>
std::vector<const Shape*> All(const Footprint& footprint) {
    std::vector<const Shape*> shapes;
    for (int i = 0; i < footprint.part->GetObjectCount(); ++i) {
        if (const auto* shape = dynamic_cast<const Shape*>(footprint.part->GetObject(i))) {
            shapes.push_back(shape);
        }
    }
    return shapes;
}

TEST(SExpressionTest, ListsAtomsAndStringsKeepTheirTextAndLines) {
    const SExpression root =
        ParseSExpression("(footprint \"R \\\"1\\\"\"\n  (at 1.5 -2)\n  (descr \"two\\nlines\"))");
    ASSERT_TRUE(root.IsList("footprint"));
    EXPECT_EQ(root.items[1].text, "R \"1\"");
    EXPECT_EQ(root.items[1].kind, SExpression::Kind::kString);
    const SExpression* at = root.Child("at");
    ASSERT_NE(at, nullptr);
    EXPECT_EQ(at->line, 2);
    EXPECT_EQ(at->items[2].text, "-2");
    EXPECT_EQ(root.Child("descr")->items[1].text, "two\nlines");
    EXPECT_EQ(root.Child("pad"), nullptr);
}

TEST(SExpressionTest, DamageIsNamedWithItsLine) {
    const auto lineOf = [](const std::string& text) {
        try {
            ParseSExpression(text);
        } catch (const SExpressionError& error) {
            return error.Line();
        }
        return 0;
    };
    EXPECT_EQ(lineOf("(a\n(b c)\n"), 1);   // never closed: where it starts
    EXPECT_EQ(lineOf("(a\n \"open)"), 2);  // a string never closed
    EXPECT_EQ(lineOf("(a) (b)"), 1);       // text after the list
    EXPECT_EQ(lineOf("\n\nnot a list"), 3);
    EXPECT_EQ(lineOf(""), 1);
    EXPECT_EQ(lineOf(std::string(101, '(') + std::string(101, ')')), 1);  // too deep
    EXPECT_EQ(lineOf(std::string(100, '(') + std::string(100, ')')), 0);
}

TEST(KicadFootprintTest, AKicad6FootprintBecomesPadsAndDrawingsWithYUpwards) {
    const Footprint footprint = ReadFootprint(R"((footprint "R_0603" (version 20211014)
  (layer "F.Cu")
  (fp_text reference "REF**" (at 0 -1.43 90) (layer "F.SilkS") (effects (font (size 1.2 1))))
  (fp_text user "${REFERENCE}" (at 0 0 unlocked) (layer "F.Fab"))
  (fp_line (start -1 -0.5) (end 1 -0.5) (stroke (width 0.12) (type solid)) (layer "F.SilkS"))
  (fp_arc (start -1 0) (mid 0 -1) (end 1 0) (layer "F.Fab") (width 0.1))
  (fp_circle (center 0 0) (end 0.5 0) (layer "F.CrtYd") (width 0.05) (fill none))
  (fp_rect (start -0.8 -0.4) (end 0.8 0.4) (layer "F.Fab") (width 0.1) (fill solid))
  (fp_line (start 0 0) (end 1 1) (layer "In1.Cu") (width 0.1))
  (pad "1" smd roundrect (at -0.825 0.1) (size 0.8 0.95) (layers "F.Cu" "F.Paste" "F.Mask"))
  (pad "2" smd rect (at 0.825 0.1) (size 0.8 0.95) (layers "B.Cu"))
  (pad "" smd roundrect (at 0 0) (size 0.5 0.5) (layers "F.Paste"))
  (model "x.wrl"))
)");
    EXPECT_EQ(*footprint.part->GetName(), "R_0603");
    const auto pads = All<CDrwPad>(footprint);
    ASSERT_EQ(pads.size(), 3u);
    EXPECT_EQ(pads[0]->m_strNumber, "1");
    EXPECT_EQ(pads[0]->m_eShape, PadShape::kRoundedRectangle);
    EXPECT_EQ(pads[0]->m_x, -825000);
    EXPECT_EQ(pads[0]->m_y, -100000);  // 0.1 mm down in KiCad is down here too: negative
    EXPECT_EQ(pads[0]->m_width, 800000);
    EXPECT_EQ(pads[0]->m_height, 950000);
    EXPECT_EQ(pads[0]->GetLayer(), kLayerCopperTop);
    EXPECT_EQ(pads[1]->GetLayer(), kLayerCopperBottom);
    EXPECT_EQ(pads[2]->GetLayer(), kLayerPasteTop);  // an opening in the paste, no copper

    const auto lines = All<CDrwLine>(footprint);
    ASSERT_EQ(lines.size(), 1u);  // the one on an inner layer is left out, and counted
    EXPECT_EQ(lines[0]->m_y1, kMm / 2);
    EXPECT_EQ(lines[0]->m_width, 120000);
    const auto arcs = All<CDrwArc>(footprint);
    ASSERT_EQ(arcs.size(), 1u);
    EXPECT_EQ(arcs[0]->m_radius, kMm);
    EXPECT_EQ(arcs[0]->m_startAngle, 180000);
    EXPECT_EQ(arcs[0]->m_sweepAngle, -180000);  // over the top: clockwise from the left
    const auto circles = All<CDrwCircle>(footprint);
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_EQ(circles[0]->m_radius, kMm / 2);
    EXPECT_FALSE(circles[0]->m_bFilled);
    EXPECT_EQ(circles[0]->GetLayer(), kLayerCourtyard);
    const auto polygons = All<CDrwPolygon>(footprint);
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_TRUE(polygons[0]->m_bFilled);
    EXPECT_EQ(polygons[0]->m_points.size(), 4u);
    const auto texts = All<CDrwText>(footprint);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1]->m_rotation, 0);  // "unlocked" is no angle
    EXPECT_EQ(texts[0]->m_strText, "REF**");
    EXPECT_EQ(texts[0]->m_height, 1200000);
    EXPECT_EQ(texts[0]->m_rotation, 90000);
    EXPECT_EQ(
        footprint.approximated,
        (std::map<std::string, int>{{"3D model", 1}, {"fp_line on layer In1.Cu, left out", 1}}));
}

TEST(KicadFootprintTest, AKicad5ModuleWithHolesSlotsTurnedAndFreeFormPadsAndAnAngleArc) {
    const Footprint footprint = ReadFootprint(R"((module DIP-4 (layer F.Cu) (tedit 0)
  (fp_arc (start 0 0) (end 1 0) (angle 90) (layer F.SilkS) (width 0.12))
  (pad 1 thru_hole rect (at 0 0 90) (size 1.6 1.2) (drill 0.8) (layers *.Cu *.Mask))
  (pad 2 thru_hole oval (at 2.54 0 -45) (size 1.6 1.6) (drill oval 0.8 1.2 (offset 0.1 0))
    (layers *.Cu))
  (pad "" np_thru_hole circle (at 1 1) (size 1 1) (drill 1) (layers *.Cu))
  (pad 3 smd trapezoid (at 0 2) (size 1 1) (rect_delta 0 0.2) (layers F.Cu))
  (pad 4 smd custom (at 0 3) (size 1 1) (layers F.Cu) (primitives (gr_poly (pts (xy 0 0)))))
  (pad 5 smd custom (at 0 4) (size 0.5 0.5) (layers F.Cu)
    (primitives (gr_poly (pts (xy -1 -1) (xy 1 -1) (xy 0 2)) (width 0)) (gr_circle (center 0 0)
    (end 0.2 0))))
))");
    const auto pads = All<CDrwPad>(footprint);
    ASSERT_EQ(pads.size(), 6u);
    EXPECT_EQ(pads[0]->m_width, 1600000);  // kept as the file has it, turned
    EXPECT_EQ(pads[0]->m_rotation, 90000);
    EXPECT_EQ(pads[0]->m_drill, 800000);
    EXPECT_EQ(pads[1]->m_rotation, 315000);
    EXPECT_EQ(pads[1]->m_drill, 800000);
    EXPECT_EQ(pads[1]->m_drillHeight, 1200000);
    EXPECT_FALSE(pads[2]->m_bPlated);
    EXPECT_FALSE(pads[2]->IsCopperLand());
    EXPECT_TRUE(pads[1]->IsCopperLand());
    EXPECT_EQ(pads[3]->m_eShape, PadShape::kPolygon);
    EXPECT_EQ(pads[3]->m_drill, 0);
    // Narrowed by 0.1 mm at each end of its top side (KiCad's y runs downwards).
    EXPECT_EQ(pads[3]->m_outline,
              (std::vector<std::pair<long, long>>{
                  {-600000, -500000}, {-400000, 500000}, {400000, 500000}, {600000, -500000}}));
    EXPECT_EQ(pads[4]->m_outline.size(), 4u);  // a polygon of one point: its anchor instead
    EXPECT_EQ(pads[5]->m_outline,
              (std::vector<std::pair<long, long>>{{-kMm, kMm}, {kMm, kMm}, {0, -2 * kMm}}));
    const CKVRect box = pads[5]->GetBoundingBox();
    EXPECT_EQ(box.left, -kMm);
    EXPECT_EQ(box.bottom, -4 * kMm - 2 * kMm);
    const auto arcs = All<CDrwArc>(footprint);
    ASSERT_EQ(arcs.size(), 1u);
    EXPECT_EQ(arcs[0]->m_startAngle, 0);
    EXPECT_EQ(arcs[0]->m_sweepAngle, 90000);
    EXPECT_EQ(arcs[0]->m_radius, kMm);
    EXPECT_EQ(
        footprint.approximated,
        (std::map<std::string, int>{{"free-form pad's gr_circle, left out of its outline", 1},
                                    {"pad off its drill's centre, stored centred on it", 1}}));
}

TEST(KicadFootprintTest, WhatIsNoFootprintOrIsDamagedIsRefusedWithItsLine) {
    EXPECT_EQ(ErrorLine("(kicad_pcb (version 1))"), 1);
    EXPECT_EQ(ErrorLine("(footprint)"), 1);
    EXPECT_EQ(ErrorLine("(footprint \"A\"\n (pad \"1\" smd rect (size 1 1) (layers F.Cu)))"), 2);
    EXPECT_EQ(ErrorLine("(footprint \"A\"\n\n (pad \"1\" smd rect (at 0 x) (size 1 1)))"), 3);
    EXPECT_EQ(ErrorLine("(footprint \"A\" (pad \"1\" smd rect (at 0 5000) (size 1 1)))"), 1);
    EXPECT_EQ(ErrorLine("(footprint \"A\" (pad \"1\" glued rect (at 0 0) (size 1 1)))"), 1);
    EXPECT_EQ(ErrorLine("(footprint \"A\"\n (pad \"1\" smd trapezoid (at 0 0) (size 1 1)\n"
                        "  (rect_delta 0 5000) (layers F.Cu)))"),
              3);
    EXPECT_EQ(ErrorLine("(footprint \"A\" (fp_poly (pts (xy 0 0)) (layer F.SilkS)))"), 1);
    EXPECT_EQ(ErrorLine("(footprint \"A\" (fp_line (start nan 0) (end 0 0) (layer F.SilkS)))"), 1);
    EXPECT_EQ(ErrorLine("(footprint \"A\" (fp_line (start 0 0) (end 0 0) (layer F.SilkS)))"), 0);
}

}  // namespace
