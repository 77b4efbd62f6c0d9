#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "host/CBlob.h"
#include "host/CDrawContext.h"
#include "host/CPlugInManager.h"
#include "host/CPoolStringStorage.h"
#include "host/CXMLArchive.h"
#include "platform/afx/CMemFile.h"
#include "serial/CCommonLibraryInfo.h"
#include "serial/CDocTypeLibraryInfo.h"

namespace {

CDocTypeLibraryInfo Info(const char* layer, std::uint32_t rgb) {
    CLayerDefinition layers;
    layers.Add({1, layer, LayerKind::kCopperTop});
    CColorDefinition colors;
    colors.Add({1, "Copper", rgb});
    return CDocTypeLibraryInfo(&layers, &colors);
}

std::string Encoded(CCommonLibraryInfo& info) {
    BYTE* data = nullptr;
    const UINT length = info.EncodeDataBlock(data);
    std::string bytes(reinterpret_cast<char*>(data), length);
    std::free(data);
    return bytes;
}

std::string Inflated(const std::string& block) {
    const std::string stream = block.substr(std::strlen(CXMLArchive::kCompressedMarker));
    std::string text(1 << 16, '\0');
    uLongf size = text.size();
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(text.data()), &size,
                         reinterpret_cast<const Bytef*>(stream.data()), stream.size()),
              Z_OK);
    text.resize(size);
    return text;
}

bool Decode(CCommonLibraryInfo& info, const std::string& bytes) {
    return info.DecodeDataBlock(reinterpret_cast<const BYTE*>(bytes.data()),
                                static_cast<UINT>(bytes.size()));
}

}  // namespace

// Stored type rows hold these blocks: the element tree below must never change by accident.
TEST(CCommonLibraryInfoTest, GoldenBlockWithTwoDocumentTypes) {
    CCommonLibraryInfo info;
    info.SetDocTypeLibInfo("Footprint", Info("Top", 0xC87533));
    const std::string single = Encoded(info);
    EXPECT_EQ(single.rfind("CompressedTalvessaXML\x78\xDA", 0), 0u);
    EXPECT_EQ(
        Inflated(single),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><CommonLibraryObject><CommonLibObject "
        "Class=\"CCommonLibraryInfo\"><DocTypeData><DocData Name=\"Footprint\"><DocTypeLibraryInfo "
        "Class=\"CDocTypeLibraryInfo\"><LayerDefinition><Layer Id=\"1\" Name=\"Top\" "
        "Kind=\"CopperTop\"/></LayerDefinition><ColorDefinition><Color Id=\"1\" Name=\"Copper\" "
        "RGB=\"C87533\"/></ColorDefinition></DocTypeLibraryInfo></DocData></DocTypeData>"
        "</CommonLibObject></CommonLibraryObject>");

    info.SetDocTypeLibInfo("Pad-Stack", Info("Pad", 0x00FF00));
    info.SetDocTypeLibInfo("", Info("never written", 0));
    const std::string two = Inflated(Encoded(info));
    EXPECT_NE(
        two.find("<DocData Name=\"Pad-Stack\"><DocTypeLibraryInfo Class=\"CDocTypeLibraryInfo\">"
                 "<LayerDefinition><Layer Id=\"1\" Name=\"Pad\" Kind=\"CopperTop\"/>"),
        std::string::npos);
    EXPECT_EQ(two.find("never written"), std::string::npos);

    for (const std::string& block : {Encoded(info), two}) {  // compressed, then plain
        CCommonLibraryInfo back;
        ASSERT_TRUE(Decode(back, block));
        ASSERT_EQ(back.Entries().GetCount(), 2);
        EXPECT_TRUE(*back.GetDocTypeLibInfo("Footprint")->GetLayerDefinition() ==
                    *info.GetDocTypeLibInfo("Footprint")->GetLayerDefinition());
        EXPECT_EQ(back.GetDocTypeLibInfo("Pad-Stack")->GetColorDefinition()->GetColor(0).rgb,
                  0x00FF00u);
    }
}

TEST(CCommonLibraryInfoTest, EmptyMapsAndEmptyBlocks) {
    CCommonLibraryInfo empty;
    const std::string block = Encoded(empty);
    CCommonLibraryInfo back;
    back.SetDocTypeLibInfo("Old", Info("x", 1));
    EXPECT_TRUE(Decode(back, block));
    EXPECT_EQ(back.Entries().GetCount(), 0);
    EXPECT_FALSE(back.DecodeDataBlock(nullptr, 0));
    EXPECT_FALSE(back.DecodeBlob(nullptr));
    std::unique_ptr<CBlob> blob(empty.EncodeBlob());
    ASSERT_NE(blob, nullptr);
    EXPECT_TRUE(back.DecodeBlob(blob.release()));  // consumed
}

TEST(CCommonLibraryInfoTest, UnrecognisedShortAndMisshapenBlocksAreSkipped) {
    CCommonLibraryInfo info;
    info.SetDocTypeLibInfo("Kept", Info("x", 1));
    const std::size_t signature = std::strlen(CXMLArchive::kCompressedMarker);
    EXPECT_TRUE(Decode(info, std::string(signature, 'C')));
    EXPECT_TRUE(Decode(info, std::string(CXMLArchive::kCompressedMarker)));  // exactly L bytes
    EXPECT_TRUE(Decode(info, "Some other block format that is long enough"));
    EXPECT_TRUE(Decode(info, std::string(CXMLArchive::kCompressedMarker) + "not zlib at all"));
    EXPECT_NE(info.GetDocTypeLibInfo("Kept"), nullptr);

    // A DocTypeData whose second child is no DocData: only the first entry is read. A DocData
    // naming a class of the wrong kind is skipped instead of being read as one.
    const std::string entry =
        "<DocData Name=\"%s\"><DocTypeLibraryInfo Class=\"%s\"><LayerDefinition/><ColorDefinition/>"
        "</DocTypeLibraryInfo></DocData>";
    auto docData = [&](const char* name, const char* cls) {
        std::string text = entry;
        text.replace(text.find("%s"), 2, name);
        text.replace(text.find("%s"), 2, cls);
        return text;
    };
    const std::string block =
        "<?xml version=\"1.0\"?><CommonLibraryObject><CommonLibObject "
        "Class=\"CCommonLibraryInfo\"><DocTypeData>" +
        docData("First", "CDocTypeLibraryInfo") + docData("Wrong", "CCommonLibraryInfo") +
        "<Other/>" + docData("Late", "CDocTypeLibraryInfo") +
        "</DocTypeData></CommonLibObject></CommonLibraryObject>";
    ASSERT_TRUE(Decode(info, block));
    EXPECT_NE(info.GetDocTypeLibInfo("First"), nullptr);
    EXPECT_EQ(info.GetDocTypeLibInfo("Wrong"), nullptr);
    EXPECT_EQ(info.GetDocTypeLibInfo("Late"), nullptr);
    EXPECT_EQ(info.GetDocTypeLibInfo("Kept"), nullptr);  // the map was replaced
}

TEST(CCommonLibraryInfoTest, AssertTakesTheDrawContextThenThePlugInThenNothing) {
    CCommonLibraryInfo info;
    EXPECT_TRUE(info.AssertDocTypeLibInfo("Unknown"));
    EXPECT_EQ(info.GetDocTypeLibInfo("Unknown")->GetLayerDefinition()->GetCount(), 0);

    CDrawContext context;
    context.GetLayerDefinition().Add({3, "Inner", LayerKind::kCopperInner});
    SetDrawContext(&context);
    EXPECT_TRUE(info.AssertDocTypeLibInfo("Footprint"));
    EXPECT_EQ(info.GetDocTypeLibInfo("Footprint")->GetLayerDefinition()->GetLayer(0).name, "Inner");
    SetDrawContext(nullptr);

    CLayerDefinition given;
    given.Add({4, "Given", LayerKind::kAssembly});
    CColorDefinition colors;
    EXPECT_TRUE(info.AssertDocTypeLibInfo("Footprint", &colors, &given));  // present: not replaced
    EXPECT_EQ(info.GetDocTypeLibInfo("Footprint")->GetLayerDefinition()->GetLayer(0).name, "Inner");
    EXPECT_TRUE(info.AssertDocTypeLibInfo("CAD-Object", &colors, &given));
    EXPECT_EQ(info.GetDocTypeLibInfo("CAD-Object")->GetLayerDefinition()->GetLayer(0).name,
              "Given");
}

TEST(CCommonLibraryInfoTest, DocTypeInfoCopiesOwnTheirDefinitions) {
    auto* source = new CDocTypeLibraryInfo(Info("Top", 1));
    CDocTypeLibraryInfo copy(*source);
    source->GetLayerDefinition()->DeleteAll();
    delete source;
    EXPECT_EQ(copy.GetLayerDefinition()->GetLayer(0).name, "Top");
    CDocTypeLibraryInfo assigned;
    assigned = copy;
    EXPECT_TRUE(*assigned.GetColorDefinition() == *copy.GetColorDefinition());
}

// Every stored part resets the block: the entry is built again only when it would differ.
TEST(CCommonLibraryInfoTest, ResetToKeepsAnEqualEntryAndRebuildsAnyOther) {
    CCommonLibraryInfo info;
    info.SetDocTypeLibInfo("CAD-Object", Info("Other", 2));
    const CDocTypeLibraryInfo given = Info("Top", 1);
    info.ResetTo("Footprint", *given.GetColorDefinition(), *given.GetLayerDefinition());
    EXPECT_EQ(info.Entries().GetCount(), 1);
    const CDocTypeLibraryInfo* built = info.GetDocTypeLibInfo("Footprint");
    ASSERT_NE(built, nullptr);
    EXPECT_TRUE(*built->GetLayerDefinition() == *given.GetLayerDefinition());

    info.GetStringPool()->Add("R1");
    info.ResetTo("Footprint", *given.GetColorDefinition(), *given.GetLayerDefinition());
    EXPECT_EQ(info.GetDocTypeLibInfo("Footprint"), built);
    EXPECT_EQ(info.GetStringPool()->GetCount(), 0);

    built->GetColorDefinition()->DeleteAll();  // as an encoding that changed the entry would
    info.ResetTo("Footprint", *given.GetColorDefinition(), *given.GetLayerDefinition());
    EXPECT_TRUE(*info.GetDocTypeLibInfo("Footprint")->GetColorDefinition() ==
                *given.GetColorDefinition());

    const CDocTypeLibraryInfo other = Info("Top", 3);
    info.ResetTo("Footprint", *other.GetColorDefinition(), *other.GetLayerDefinition());
    EXPECT_TRUE(*info.GetDocTypeLibInfo("Footprint")->GetColorDefinition() ==
                *other.GetColorDefinition());
}
