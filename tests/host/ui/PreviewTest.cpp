// The part preview draws what it is given where the geometry puts it, in its layers' colours,
// fitted to the window at every size, with dimensions over the part; it never owns what it shows.

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include "host/BuiltInPlugIns.h"
#include "host/CDrwDimension.h"
#include "host/CDrwGroup.h"
#include "host/CDrwObList.h"
#include "host/CDrwShapes.h"
#include "host/CUnitInfo.h"
#include "host/FootprintGenerator.h"
#include "host/ui/CPreviewWnd.h"
#include "platform/ui/CDialog.h"

namespace {

const QColor kTopCopper(0xd2, 0x3c, 0x3c);
const QColor kSilkscreen(0xf0, 0xf0, 0xf0);

class PreviewTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureUiApplication();
        RegisterBuiltInPlugIns();
        preview.Create(CRect{0, 0, 200, 100}, nullptr);
        preview.Init("Footprint");
    }

    // A copper pad on the right and a silkscreen dot on the left of the origin.
    static std::unique_ptr<CDrwGroup> PadAndDot(long padY = 0, long dotY = 0) {
        auto group = std::make_unique<CDrwGroup>();
        auto pad = std::make_unique<CDrwPad>("1", PadShape::kRound, Millimetres(3), padY,
                                             Millimetres(1), Millimetres(1));
        pad->SetLayer(kLayerCopperTop);
        group->Add(std::move(pad));
        auto dot = std::make_unique<CDrwCircle>(-Millimetres(3), dotY, Millimetres(0.5), 0, true);
        dot->SetLayer(kLayerSilkscreenTop);
        group->Add(std::move(dot));
        return group;
    }

    QImage Picture() { return preview.Widget()->grab().toImage(); }

    CPreviewWnd preview;
};

TEST_F(PreviewTest, EachShapeIsDrawnWhereItsGeometryPutsItInItsLayersColour) {
    auto part = PadAndDot();
    preview.AddDrawObject(part.get(), false);
    preview.ZoomToFitObjects();
    const QImage picture = Picture();
    // 7 mm across 176 usable pixels: the pad's centre lies 3 mm right of the middle.
    EXPECT_EQ(picture.pixelColor(175, 50), kTopCopper);
    EXPECT_EQ(picture.pixelColor(25, 50), kSilkscreen);
    EXPECT_EQ(picture.pixelColor(100, 50), LayerPalette::Background());
    EXPECT_EQ(picture.pixelColor(175, 5), LayerPalette::Background());
}

TEST_F(PreviewTest, UpIsUpAndAResizedWindowIsFittedAgain) {
    auto part = PadAndDot(Millimetres(2), -Millimetres(2));
    preview.AddDrawObject(part.get(), false);
    const QImage small = Picture();
    // 7 mm by 5 mm in 176 by 76 pixels: 15.2 pixels a millimetre, the pad 30 pixels up.
    EXPECT_EQ(small.pixelColor(146, 20), kTopCopper);
    EXPECT_EQ(small.pixelColor(54, 80), kSilkscreen);
    preview.Widget()->resize(400, 200);
    const QImage large = Picture();
    // 376 by 176 pixels: the height decides, 35.2 pixels a millimetre.
    EXPECT_EQ(large.pixelColor(200 + 105, 100 - 70), kTopCopper);
    EXPECT_EQ(large.pixelColor(200 - 105, 100 + 70), kSilkscreen);
}

TEST_F(PreviewTest, AnObjectsOwnColourOutranksItsLayers) {
    CColorDefinition colours;
    colours.Add({7, "Highlight", 0x00ff00});
    preview.Init(&colours, nullptr, nullptr);
    auto part = PadAndDot();
    part->GetObject(0)->SetColor(7);
    preview.AddDrawObject(part.get(), false);
    EXPECT_EQ(Picture().pixelColor(175, 50), QColor(0, 255, 0));
}

TEST_F(PreviewTest, DimensionsAreDrawnOverThePartAndRemovingFreesNothing) {
    auto part =
        MakeChipFootprint("R0603", "R1", Millimetres(1.6), Millimetres(0.9), Millimetres(0.95));
    CDrwObList dimensions;
    const CUnitInfo millimetres;
    ASSERT_GT(part->CreateDimensions(&dimensions, &millimetres, kDimHorizontalSpan), 0);
    preview.AddDrawObject(part.get(), false);
    preview.AddList(&dimensions);
    EXPECT_EQ(preview.GetObjectCount(), 2);
    const QImage picture = Picture();
    int marked = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QColor at = picture.pixelColor(x, y);
            const QColor mark = LayerPalette::DimensionColour();
            marked += std::abs(at.red() - mark.red()) + std::abs(at.green() - mark.green()) +
                                  std::abs(at.blue() - mark.blue()) <
                              48
                          ? 1
                          : 0;
        }
    }
    EXPECT_GT(marked, 40);  // the line, its two arrows and its text
    preview.RemoveAllObjects();
    EXPECT_EQ(preview.GetObjectCount(), 0);
    EXPECT_EQ(Picture().pixelColor(100, 50), LayerPalette::Background());
    EXPECT_EQ(dimensions.GetCount(), 1);  // the view freed nothing
    EXPECT_GT(part->GetObjectCount(), 0);
}

}  // namespace
