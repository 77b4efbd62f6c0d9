#include <gtest/gtest.h>

#include <map>

#include "host/CDrawContext.h"
#include "host/CDrwDimension.h"
#include "host/CDrwObList.h"
#include "host/CDrwShapes.h"
#include "host/CDrwSubSheet.h"
#include "host/CTotalLayerInformation.h"
#include "host/CUnitInfo.h"
#include "host/CallbackStatusBar.h"
#include "host/CurrentDesign.h"
#include "host/FootprintGenerator.h"

namespace {

std::map<DimensionKind, std::vector<CString>> Dimensions(
    const CDrwGroup& part, unsigned long mask, CUnitInfo::Unit unit = CUnitInfo::kMillimetre) {
    CDrwObList list;
    const CUnitInfo units(unit);
    const int count = part.CreateDimensions(&list, &units, mask);
    EXPECT_EQ(count, list.GetCount());
    std::map<DimensionKind, std::vector<CString>> byKind;
    for (int i = 0; i < list.GetCount(); ++i) {
        const auto* dimension = static_cast<const CDrwDimension*>(list.GetAt(i));
        byKind[dimension->m_eKind].push_back(dimension->m_strText);
    }
    return byKind;
}

}  // namespace

TEST(DimensionsTest, ATwoRowFootprintMeasuresAsARulerWould) {
    const auto soic = MakeTwoRowFootprint("SOIC-8", "U1", TwoRowPattern{});
    auto all = Dimensions(*soic, 0xFFFFFFFF);
    // Outer pad edges: 5.4 + 1.55 wide, 3 x 1.27 + 0.6 high.
    EXPECT_EQ(all[kDimHorizontalSpan], std::vector<CString>{"6.95 mm"});
    EXPECT_EQ(all[kDimVerticalSpan], std::vector<CString>{"4.41 mm"});
    EXPECT_EQ(all[kDimHorizontalPitch], std::vector<CString>{"5.4 mm"});  // across a row of two
    EXPECT_EQ(all[kDimVerticalPitch], std::vector<CString>{"1.27 mm"});
    EXPECT_TRUE(all[kDimInterRowHorizontalPitch].empty());  // rows are not staggered
    EXPECT_EQ(all[kDimPads], std::vector<CString>{"1.55 mm x 0.6 mm"});

    TwoRowPattern dip{8,
                      Millimetres(2.54),
                      Millimetres(7.62),
                      Millimetres(1.6),
                      Millimetres(1.6),
                      Millimetres(0.8)};
    const auto dip8 = MakeTwoRowFootprint("DIP-8", "U2", dip);
    auto mils =
        Dimensions(*dip8, kDimVerticalPitch | kDimHorizontalPitch | kDimPads, CUnitInfo::kMil);
    EXPECT_EQ(mils[kDimVerticalPitch], std::vector<CString>{"100 mil"});
    EXPECT_EQ(mils[kDimHorizontalPitch], std::vector<CString>{"300 mil"});
    EXPECT_EQ(mils[kDimPads].size(), 2u);  // the square pin 1 and the round others
    EXPECT_TRUE(Dimensions(*dip8, 0).empty());
}

TEST(DimensionsTest, StaggeredRowsGiveTheirInterRowPitch) {
    CDrwGroup header;
    for (int i = 0; i < 3; ++i) {
        header.Add(std::make_unique<CDrwPad>("a", PadShape::kRound, i * Millimetres(2), 0, 1000000,
                                             1000000));
        header.Add(std::make_unique<CDrwPad>("b", PadShape::kRound,
                                             i * Millimetres(2) + Millimetres(1), Millimetres(1.5),
                                             1000000, 1000000));
    }
    auto all = Dimensions(header, kDimInterRowHorizontalPitch | kDimInterColumnVerticalPitch,
                          CUnitInfo::kInch);
    EXPECT_EQ(all[kDimInterRowHorizontalPitch], std::vector<CString>{"0.0394 in"});
    EXPECT_TRUE(all[kDimInterColumnVerticalPitch].empty() ||
                all[kDimInterColumnVerticalPitch].size() == 1);
}

TEST(DimensionsTest, TheCurrentDesignDrivesTheDrawContextAndSelection) {
    EXPECT_EQ(GetDrwSubSheet(), nullptr);
    CDrwSubSheet sheet;
    sheet.GetLayerDefinition().Add({1, "Top", LayerKind::kCopperTop});
    sheet.AddObject(
        MakeChipFootprint("0402", "C1", Millimetres(1), Millimetres(0.6), Millimetres(0.5)), true);
    sheet.AddObject(
        MakeChipFootprint("0603", "C2", Millimetres(1.6), Millimetres(0.9), Millimetres(0.95)),
        false);
    SetCurrentDesign(&sheet);
    EXPECT_EQ(GetSheetLayerDefinition()->GetLayer(0).name, "Top");
    EXPECT_EQ(GetDrawContext()->GetLayerDefinition().GetCount(), 1);
    EXPECT_EQ(GetTotalLayerInformation()->GetCount(), 1);
    std::unique_ptr<CDrwGroup> selection(sheet.CreateGroupOfObjects(true));
    ASSERT_NE(selection, nullptr);
    EXPECT_EQ(selection->GetObjectCount(), 1);
    std::vector<CDrwSubSheet::ValidLibraryObject> valid;
    sheet.GetObjectsValidForLibrary(valid);
    ASSERT_EQ(valid.size(), 2u);
    EXPECT_EQ(valid[1].name, "0603");
    SetCurrentDesign(nullptr);
    EXPECT_EQ(GetDrawContext(), nullptr);
    EXPECT_EQ(GetSheetUnitInfo(), nullptr);

    std::vector<std::string> seen;
    CallbackStatusBar bar([&](const CallbackStatusBar::Progress& p) {
        seen.push_back(std::to_string(p.position) + "/" + std::to_string(p.upper) +
                       (p.active ? "" : " done"));
    });
    bar.StartProgress(0, 3);
    bar.SetCurrentPos(2);
    bar.EndProgress();
    EXPECT_EQ(seen, (std::vector<std::string>{"0/3", "2/3", "2/3 done"}));
}
