#include <gtest/gtest.h>

#include <algorithm>
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
    EXPECT_EQ(Decode(CBlob(reinterpret_cast<const BYTE*>("VPRT\x02"), 5)), nullptr);
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
