#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

#include "host/BuiltInPlugIns.h"
#include "host/CBlob.h"
#include "host/CDrwClassList.h"
#include "host/CDrwShapes.h"
#include "host/CLibraryObject.h"
#include "host/CPlugInManager.h"
#include "host/CPoolStringStorage.h"
#include "host/FootprintGenerator.h"

namespace {

const CLayerDefinition& FootprintLayers() {
    RegisterBuiltInPlugIns();
    return *GetDocForLibraryType("Footprint")->GetLayerDefinition();
}

std::unique_ptr<CBlob> Encode(CDrawObject& object) {
    CLibraryObject encoder;
    encoder.AddObjectToList(&object);
    CDrwClassList classes;
    CPoolStringStorage strings;
    std::unique_ptr<CBlob> blob(
        encoder.EncodeBlob(nullptr, &classes, &strings, &FootprintLayers(), nullptr, false));
    encoder.EmptyObjectList();
    EXPECT_GT(classes.GetCount(), 2);  // the encoder gathers what it wrote
    return blob;
}

// Decodes into a new group (null when refused), mapping onto `target`.
std::unique_ptr<CDrwGroup> Decode(const CBlob& blob, CLayerDefinition* target = nullptr) {
    CLibraryObject decoder;
    const bool ok = decoder.DecodeBlob(nullptr, nullptr, nullptr, &FootprintLayers(), nullptr,
                                       &blob, target, nullptr);
    CDrwObList* list = decoder.GetObjectList();
    decoder.SetObjectList(nullptr);
    std::unique_ptr<CDrwObList> owned(list);
    owned->SetOwnsObjects(true);
    if (!ok) {
        return nullptr;
    }
    auto* group = static_cast<CDrwGroup*>(owned->GetAt(0));
    owned->RemoveAll();
    return std::unique_ptr<CDrwGroup>(group);
}

std::unique_ptr<CDrwGroup> Soic8() {
    return MakeTwoRowFootprint("SOIC-8", "U12", TwoRowPattern{});
}

}  // namespace

TEST(PartBlobTest, AFootprintSurvivesEncodingWithNamesAttributesAndGeometry) {
    auto footprint = Soic8();
    footprint->Add(
        std::make_unique<CDrwArc>(Millimetres(1), 0, Millimetres(0.5), 45000, 270000, 1000));
    auto blob = Encode(*footprint);
    ASSERT_NE(blob, nullptr);
    auto back = Decode(*blob);
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->GetObjectCount(), footprint->GetObjectCount());
    EXPECT_EQ(*back->GetName(), "SOIC-8");
    EXPECT_EQ(back->GetAttributeWithTag(KV_REFDES)->GetValue(), "U12");
    const auto pads = back->Pads();
    ASSERT_EQ(pads.size(), 8u);
    EXPECT_EQ(pads[0]->m_strNumber, "1");
    EXPECT_EQ(pads[0]->m_x, -Millimetres(2.7));
    EXPECT_EQ(pads[0]->m_y, Millimetres(1.905));
    EXPECT_EQ(pads[7]->m_strNumber, "8");
    EXPECT_EQ(pads[7]->m_x, Millimetres(2.7));
    EXPECT_EQ(pads[3]->m_width, Millimetres(1.55));
    const CKVRect before = footprint->GetBoundingBox();
    const CKVRect after = back->GetBoundingBox();
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
    const auto* arc = dynamic_cast<const CDrwArc*>(back->GetObject(back->GetObjectCount() - 1));
    ASSERT_NE(arc, nullptr);
    EXPECT_EQ(arc->m_sweepAngle, 270000);
    // Encoding is deterministic, so equal parts have equal blobs.
    EXPECT_TRUE(blob->IsSame(Encode(*back).get()));
}

TEST(PartBlobTest, DecodingMapsLayersOntoTheTargetDocument) {
    auto footprint = Soic8();
    auto blob = Encode(*footprint);
    CLayerDefinition target;
    target.Add({51, "F.Cu", LayerKind::kCopperTop});
    target.Add({52, "F.SilkS", LayerKind::kSilkscreenTop});
    target.Add({53, "top silkscreen", LayerKind::kSilkscreenTop});
    target.Add({54, "User", LayerKind::kMechanical});
    auto back = Decode(*blob, &target);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->Pads()[0]->GetLayer(), 51);     // same kind
    EXPECT_EQ(back->GetObject(8)->GetLayer(), 53);  // same name and kind
    EXPECT_EQ(back->GetObject(12)->GetLayer(),
              54);  // courtyard: no such kind, the first mechanical
}

TEST(PartBlobTest, DamagedBlobsAreRefusedWithoutHarm) {
    auto blob = Encode(*Soic8());
    const std::vector<BYTE> bytes(blob->m_pData, blob->m_pData + blob->m_nSize);
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        const CBlob cut(bytes.data(), static_cast<DWORD>(length));
        EXPECT_EQ(Decode(cut), nullptr) << "cut at " << length;
    }
    std::mt19937 random(7);
    for (int trial = 0; trial < 2000; ++trial) {
        std::vector<BYTE> damaged = bytes;
        for (int flips = 1 + trial % 4; flips > 0; --flips) {
            damaged[random() % damaged.size()] = static_cast<BYTE>(random());
        }
        const CBlob hostile(damaged.data(), static_cast<DWORD>(damaged.size()));
        Decode(hostile);  // refused or read; never out of bounds (the sanitizers watch)
    }
    // A count announcing far more objects than bytes, and groups nested without end.
    const BYTE huge[] = {'V', 'P', 'R', 'T', 1, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F};
    EXPECT_EQ(Decode(CBlob(huge, sizeof huge)), nullptr);
    std::vector<BYTE> deep = {'V', 'P', 'R', 'T', 1,   1,   9,   'C', 'D',
                              'r', 'w', 'G', 'r', 'o', 'u', 'p', 0,   1};
    for (int level = 0; level < 40; ++level) {
        deep.insert(deep.end(),
                    {0, 0, 0, 0, 0, 1});  // class 0, unnamed, layer, colour, no attributes, 1 child
    }
    EXPECT_EQ(Decode(CBlob(deep.data(), static_cast<DWORD>(deep.size()))), nullptr);
    EXPECT_EQ(Decode(CBlob(reinterpret_cast<const BYTE*>("VPRT\x03"), 5)), nullptr);
}

TEST(PartBlobTest, GroupsArePreparedCentredAndDesignatorsMarked) {
    auto chip =
        MakeChipFootprint("0603", "R7", Millimetres(1.6), Millimetres(0.9), Millimetres(0.95));
    chip->Offset(Millimetres(10), Millimetres(-4));
    chip->AddAttribute(std::make_unique<CDrawAttribute>("Empty", ""));
    chip->SetLayer(3);
    chip->SetDefaults(true, true, true);
    chip->PrepareForLibrary();
    const CKVRect box = chip->GetBoundingBox();
    EXPECT_LE(std::abs(box.left + box.right), 1);
    EXPECT_LE(std::abs(box.top + box.bottom), 1);
    EXPECT_EQ(chip->GetLayer(), 0);
    EXPECT_EQ(chip->GetAttributeWithTag("Empty"), nullptr);

    for (const auto& [before, after] :
         {std::pair{"U12", "U?"}, std::pair{"R1", "R?"}, std::pair{"R1A", "R1A"},
          std::pair{"12", "12"}, std::pair{"", ""}, std::pair{"IC?", "IC?"}}) {
        CString text = before;
        MakeQuestionMarkString(text);
        EXPECT_EQ(text, after) << before;
    }
}

TEST(PartBlobTest, PlugInsServeTheirTypesAndClassifyObjects) {
    RegisterBuiltInPlugIns();
    RegisterBuiltInPlugIns();
    EXPECT_EQ(GetPlugInManager()->GetPlugInCount(), 3);
    EXPECT_EQ(GetDocForLibraryType("pad-stack")->GetDocTypeName(), "Pad-Stack");
    EXPECT_EQ(GetDocForLibraryType("Schematic"), nullptr);
    DOCINFOSTRUCT info;
    ASSERT_TRUE(GetDocInfoForDocType("CAD-Object", info));
    EXPECT_STREQ(info.hModule->FindString(info.nDescriptionID), "Mechanical CAD object");
    EXPECT_STREQ(info.pszRelatedDocType, "CAD-Object");
    const CResourceBitmap* icon = info.hModule->FindBitmap(info.nIconID);
    ASSERT_NE(icon, nullptr);
    ASSERT_GT(icon->size, 8u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(icon->data), 8), "\x89PNG\r\n\x1a\n");

    EXPECT_EQ(GetLibDocTypeForObject(Soic8().get()), "Footprint");
    CDrwGroup stack;
    stack.Add(std::make_unique<CDrwPad>("1", PadShape::kRound, 0, 0, 1000, 1000, 500));
    stack.Add(std::make_unique<CDrwPad>("1", PadShape::kRound, 0, 0, 1200, 1200, 500));
    EXPECT_EQ(GetLibDocTypeForObject(&stack), "Pad-Stack");
    CDrwGroup bracket;
    bracket.Add(std::make_unique<CDrwLine>(0, 0, 1000, 0, 100));
    EXPECT_EQ(GetLibDocTypeForObject(&bracket), "CAD-Object");
}

namespace {

// A small footprint with every kind of object, its pad of the first format's kind.
std::unique_ptr<CDrwGroup> EveryKindOfObject() {
    auto part = std::make_unique<CDrwGroup>();
    part->SetName("G");
    auto pad = std::make_unique<CDrwPad>("1", PadShape::kOval, 1000, -2000, 600, 400, 300);
    pad->SetLayer(kLayerCopperTop);
    part->Add(std::move(pad));
    part->Add(std::make_unique<CDrwLine>(0, 0, 5, -5, 2));
    part->Add(std::make_unique<CDrwArc>(1, 2, 3, 4000, 90000, 5));
    part->Add(std::make_unique<CDrwCircle>(-1, -2, 30, 4, true));
    part->Add(std::make_unique<CDrwPolygon>(
        std::vector<std::pair<long, long>>{{0, 0}, {9, 0}, {9, 9}}, 1, false));
    part->Add(std::make_unique<CDrwText>(7, 8, "U?", 100, 90000));
    return part;
}

std::vector<BYTE> BytesOf(const CBlob& blob) {
    return {blob.m_pData, blob.m_pData + blob.m_nSize};
}

// EveryKindOfObject as the first format wrote it.
const std::vector<BYTE> kFirstFormat = {
    0x56, 0x50, 0x52, 0x54, 0x01, 0x07, 0x09, 0x43, 0x44, 0x72, 0x77, 0x47, 0x72, 0x6F, 0x75, 0x70,
    0x07, 0x43, 0x44, 0x72, 0x77, 0x50, 0x61, 0x64, 0x08, 0x43, 0x44, 0x72, 0x77, 0x4C, 0x69, 0x6E,
    0x65, 0x07, 0x43, 0x44, 0x72, 0x77, 0x41, 0x72, 0x63, 0x0A, 0x43, 0x44, 0x72, 0x77, 0x43, 0x69,
    0x72, 0x63, 0x6C, 0x65, 0x0B, 0x43, 0x44, 0x72, 0x77, 0x50, 0x6F, 0x6C, 0x79, 0x67, 0x6F, 0x6E,
    0x08, 0x43, 0x44, 0x72, 0x77, 0x54, 0x65, 0x78, 0x74, 0x03, 0x01, 0x47, 0x01, 0x31, 0x02, 0x55,
    0x3F, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x06, 0x01, 0x00, 0x02, 0x00, 0x00, 0x01, 0x02,
    0xD0, 0x0F, 0x9F, 0x1F, 0xB0, 0x09, 0xA0, 0x06, 0xD8, 0x04, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x0A, 0x09, 0x04, 0x03, 0x00, 0x00, 0x00, 0x00, 0x02, 0x04, 0x06, 0xC0, 0x3E, 0xA0, 0xFE,
    0x0A, 0x0A, 0x04, 0x00, 0x00, 0x00, 0x00, 0x01, 0x03, 0x3C, 0x08, 0x01, 0x05, 0x00, 0x00, 0x00,
    0x00, 0x03, 0x00, 0x00, 0x12, 0x00, 0x12, 0x12, 0x02, 0x00, 0x06, 0x00, 0x00, 0x00, 0x00, 0x0E,
    0x10, 0x02, 0xC8, 0x01, 0xA0, 0xFE, 0x0A};

// A pad of everything the second format added.
std::unique_ptr<CDrwPad> FreeFormPad() {
    auto pad = std::make_unique<CDrwPad>("2", PadShape::kPolygon, 0, 0, 10, 10, 4);
    pad->m_rotation = 45000;
    pad->m_drillHeight = 6;
    pad->m_bPlated = false;
    pad->m_outline = {{-5, -5}, {5, -5}, {0, 5}};
    return pad;
}

// EveryKindOfObject with FreeFormPad, as the second format writes it.
const std::vector<BYTE> kSecondFormat = {
    0x56, 0x50, 0x52, 0x54, 0x02, 0x07, 0x09, 0x43, 0x44, 0x72, 0x77, 0x47, 0x72, 0x6F, 0x75, 0x70,
    0x07, 0x43, 0x44, 0x72, 0x77, 0x50, 0x61, 0x64, 0x08, 0x43, 0x44, 0x72, 0x77, 0x4C, 0x69, 0x6E,
    0x65, 0x07, 0x43, 0x44, 0x72, 0x77, 0x41, 0x72, 0x63, 0x0A, 0x43, 0x44, 0x72, 0x77, 0x43, 0x69,
    0x72, 0x63, 0x6C, 0x65, 0x0B, 0x43, 0x44, 0x72, 0x77, 0x50, 0x6F, 0x6C, 0x79, 0x67, 0x6F, 0x6E,
    0x08, 0x43, 0x44, 0x72, 0x77, 0x54, 0x65, 0x78, 0x74, 0x04, 0x01, 0x47, 0x01, 0x31, 0x02, 0x55,
    0x3F, 0x01, 0x32, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x07, 0x01, 0x00, 0x02, 0x00, 0x00,
    0x01, 0x02, 0xD0, 0x0F, 0x9F, 0x1F, 0xB0, 0x09, 0xA0, 0x06, 0xD8, 0x04, 0x00, 0x00, 0x01, 0x02,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0A, 0x09, 0x04, 0x03, 0x00, 0x00, 0x00, 0x00, 0x02, 0x04,
    0x06, 0xC0, 0x3E, 0xA0, 0xFE, 0x0A, 0x0A, 0x04, 0x00, 0x00, 0x00, 0x00, 0x01, 0x03, 0x3C, 0x08,
    0x01, 0x05, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x12, 0x00, 0x12, 0x12, 0x02, 0x00, 0x06,
    0x00, 0x00, 0x00, 0x00, 0x0E, 0x10, 0x02, 0xC8, 0x01, 0xA0, 0xFE, 0x0A, 0x01, 0x00, 0x00, 0x00,
    0x00, 0x03, 0x04, 0x00, 0x00, 0x14, 0x14, 0x08, 0x90, 0xBF, 0x05, 0x0C, 0x00, 0x03, 0x09, 0x09,
    0x0A, 0x09, 0x00, 0x0A};

}  // namespace

TEST(PartBlobTest, PartsOfTheFirstFormatStillDecodeAndTheSecondIsPinned) {
    const CBlob first(kFirstFormat.data(), static_cast<DWORD>(kFirstFormat.size()));
    auto old = Decode(first);
    ASSERT_NE(old, nullptr);
    const CDrwPad& pad = *old->Pads()[0];
    EXPECT_EQ(pad.m_eShape, PadShape::kOval);
    EXPECT_EQ(pad.m_drill, 300);
    EXPECT_EQ(pad.m_rotation, 0);
    EXPECT_EQ(pad.m_drillHeight, 0);
    EXPECT_TRUE(pad.m_bPlated);
    // Read back, it is the part it was: written again, it is what the part writes today.
    EXPECT_EQ(BytesOf(*Encode(*old)), BytesOf(*Encode(*EveryKindOfObject())));

    auto part = EveryKindOfObject();
    part->Add(FreeFormPad());
    EXPECT_EQ(BytesOf(*Encode(*part)), kSecondFormat);
    const CBlob second(kSecondFormat.data(), static_cast<DWORD>(kSecondFormat.size()));
    auto back = Decode(second);
    ASSERT_NE(back, nullptr);
    const CDrwPad& freeForm = *back->Pads()[1];
    EXPECT_EQ(freeForm.m_eShape, PadShape::kPolygon);
    EXPECT_EQ(freeForm.m_rotation, 45000);
    EXPECT_EQ(freeForm.m_drillHeight, 6);
    EXPECT_FALSE(freeForm.m_bPlated);
    EXPECT_EQ(freeForm.m_outline, FreeFormPad()->m_outline);

    // The first format had no polygon pads: one there is damage.
    std::vector<BYTE> polygonInFirst = kFirstFormat;
    const BYTE shapeThenX[] = {0x02, 0xD0, 0x0F};
    const auto at = std::search(polygonInFirst.begin(), polygonInFirst.end(),
                                std::begin(shapeThenX), std::end(shapeThenX));
    ASSERT_NE(at, polygonInFirst.end());
    *at = static_cast<BYTE>(PadShape::kPolygon);
    EXPECT_EQ(Decode(CBlob(polygonInFirst.data(), static_cast<DWORD>(polygonInFirst.size()))),
              nullptr);
}

TEST(PartBlobTest, TurnedPadsCoverWhatTheyCoverTurned) {
    CDrwPad oval("1", PadShape::kOval, 0, 0, 2000, 1000);
    oval.m_rotation = 90000;
    const CKVRect upright = oval.GetBoundingBox();
    EXPECT_EQ(upright.right - upright.left, 1000);
    EXPECT_EQ(upright.top - upright.bottom, 2000);
    CDrwPad square("1", PadShape::kRectangle, 100, 0, 1000, 1000);
    square.m_rotation = 45000;
    const CKVRect diamond = square.GetBoundingBox();
    EXPECT_EQ(diamond.right - 100, 707);  // half the diagonal
    EXPECT_EQ(diamond.top, 707);
    oval.m_rotation = 45000;  // a stadium turned: its straight part's half plus its radius
    EXPECT_EQ(oval.GetBoundingBox().right, std::lround(500 / std::sqrt(2.0) + 500));
    const auto triangle = FreeFormPad();
    const CKVRect box = triangle->GetBoundingBox();
    EXPECT_EQ(box.top, 7);  // the 10 x 10 square it was given, turned
    EXPECT_EQ(box.left, -7);
}
