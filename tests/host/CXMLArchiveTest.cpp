#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "host/CColorDefinition.h"
#include "host/CLayerDefinition.h"
#include "host/CPoolStringStorage.h"
#include "host/CSafeReadElementStart.h"
#include "host/CSafeStartAndEndElement.h"
#include "host/CXMLArchive.h"
#include "platform/afx/CMemFile.h"

namespace {

// Writes with `write` into a new archive and gives back the file's bytes.
template <typename Write>
std::string Archive(bool compressed, Write write) {
    CMemFile file;
    {
        CXMLArchive ar("", "test", &file, true, compressed);
        ar.SaveHeader();
        write(ar);
        ar.Close();
    }
    const auto length = static_cast<std::size_t>(file.GetLength());
    BYTE* data = file.Detach();
    std::string bytes(reinterpret_cast<char*>(data), length);
    std::free(data);
    return bytes;
}

struct Reader {
    explicit Reader(const std::string& bytes, bool compressed)
        : file(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
               static_cast<UINT>(bytes.size())),
          ar("", "test", &file, false, compressed) {}
    ~Reader() { file.Detach(); }
    CMemFile file;
    CXMLArchive ar;
};

}  // namespace

TEST(CXMLArchiveTest, PlainAndCompressedFormsBeginWithTheirMarkers) {
    auto write = [](CXMLArchive& ar) {
        CSafeStartAndEndElement root(ar, "Root");
        ar.WriteAttribute("Name", CString("a<b & \"c\""));
        ar.WriteAttribute("Count", 42L);
        CSafeStartAndEndElement child(ar, "Child");
    };
    const std::string plain = Archive(false, write);
    EXPECT_EQ(plain,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Root Name=\"a&lt;b &amp; &quot;c&quot;\" "
              "Count=\"42\"><Child/></Root>");
    const std::string compressed = Archive(true, write);
    EXPECT_EQ(compressed.rfind(CXMLArchive::kCompressedMarker, 0), 0u);
    for (const auto& [bytes, isCompressed] :
         {std::pair{plain, false}, std::pair{compressed, true}}) {
        Reader reader(bytes, isCompressed);
        ASSERT_TRUE(reader.ar.IsReadable());
        ASSERT_TRUE(reader.ar.ReadElementHeader("Root"));  // entering the root
        EXPECT_TRUE(reader.ar.IsElementName("Child"));
        EXPECT_FALSE(reader.ar.GetNextElem());
    }
}

TEST(CXMLArchiveTest, AWriterMayLayTheTextOutItselfAndReadingSkipsTheLayout) {
    const std::string bytes = Archive(false, [](CXMLArchive& ar) {
        ar.PushElement("Root");
        ar.WriteIndentation();
        ar.PushElement("Child");
        ar.WriteElementEnd("Child");
        ar.WriteIndentation();
        ar.WriteElementStart("Second");
        ar.WriteElementEnd("Second");
        ar.WriteElementEnd("Root");
    });
    EXPECT_EQ(bytes,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Root>\n  <Child/>\n  "
              "<Second/></Root>");
    Reader reader(bytes, false);
    ASSERT_TRUE(reader.ar.ReadElementHeader("Root"));
    EXPECT_TRUE(reader.ar.IsElementName("Child"));
    ASSERT_TRUE(reader.ar.GetNextElem());
    EXPECT_TRUE(reader.ar.IsElementName("Second"));
}

TEST(CXMLArchiveTest, TheCursorWalksEntersAndLeaves) {
    const std::string bytes = Archive(false, [](CXMLArchive& ar) {
        CSafeStartAndEndElement root(ar, "Root");
        for (const char* name : {"A", "B", "C"}) {
            CSafeStartAndEndElement element(ar, name);
            ar.WriteAttribute("Value", CString(name) + "!");
            CSafeStartAndEndElement inner(ar, "Inner");
        }
    });
    Reader reader(bytes, false);
    CXMLArchive& ar = reader.ar;
    ASSERT_TRUE(ar.ReadElementHeader("Root"));
    EXPECT_FALSE(ar.ReadElementHeader("B"));
    EXPECT_TRUE(ar.ReadElementHeader("A"));
    EXPECT_TRUE(ar.IsAttribute("Value", "A!"));
    EXPECT_EQ(ar.ReadAttribute("Missing", CString("default")), "default");
    EXPECT_EQ(ar.ReadAttribute("Missing", 7L), 7);
    {
        CSafeReadElementStart inside(ar);
        EXPECT_TRUE(ar.IsElementName("Inner"));
    }
    EXPECT_TRUE(ar.IsElementName("A"));  // back on the element left
    EXPECT_TRUE(ar.GetNextElem());
    EXPECT_EQ(ar.ReadAttribute("Value", CString()), "B!");
}

TEST(CXMLArchiveTest, DamagedAndHostileInputReadsAsEmpty) {
    const std::string good =
        Archive(true, [](CXMLArchive& ar) { CSafeStartAndEndElement root(ar, "Root"); });
    for (const std::string& bytes :
         {std::string("<?xml version=\"1.0\"?><Root><Unclosed></Root>"),
          good.substr(0, good.size() - 3),                          // cut short
          std::string(CXMLArchive::kCompressedMarker) + "garbage",  // not a zlib stream
          std::string("plain text")}) {
        Reader reader(bytes, bytes.rfind(CXMLArchive::kCompressedMarker, 0) == 0);
        EXPECT_FALSE(reader.ar.IsReadable());
        EXPECT_FALSE(reader.ar.ReadElementHeader("Root"));
        EXPECT_FALSE(reader.ar.IntoElement());
    }
}

TEST(CXMLArchiveTest, DefinitionsRoundTripAndReplace) {
    CLayerDefinition layers;
    layers.Add({1, "Top", LayerKind::kCopperTop});
    layers.Add({2, "Silk \"T\"", LayerKind::kSilkscreenTop});
    CColorDefinition colors;
    colors.Add({1, "Copper", 0xC87533});
    CPoolStringStorage pool;
    pool.Add("R1");
    pool.Add("U?");
    EXPECT_EQ(pool.Add("R1"), 0);
    const std::string bytes = Archive(true, [&](CXMLArchive& ar) {
        CSafeStartAndEndElement root(ar, "Root");
        layers.XMLSerialize(ar, nullptr);
        colors.XMLSerialize(ar, nullptr);
        pool.XMLSerialize(ar, nullptr);
    });
    Reader reader(bytes, true);
    ASSERT_TRUE(reader.ar.ReadElementHeader("Root"));
    CLayerDefinition readLayers;
    readLayers.Add({9, "stale", LayerKind::kDrill});
    CColorDefinition readColors;
    CPoolStringStorage readPool;
    readLayers.XMLSerialize(reader.ar, nullptr);
    readColors.XMLSerialize(reader.ar, nullptr);
    readPool.XMLSerialize(reader.ar, nullptr);
    EXPECT_TRUE(readLayers == layers);
    EXPECT_TRUE(readColors == colors);
    ASSERT_EQ(readPool.GetCount(), 2);
    EXPECT_EQ(*readPool.Get(1), "U?");
    EXPECT_EQ(readPool.Add("R1"), 0);
    EXPECT_EQ(readPool.Get(2), nullptr);
}

// Looked through while few, indexed once many: either way a text is found at its first index,
// also in a pool read back.
TEST(CXMLArchiveTest, APoolFindsEachTextAtItsFirstIndexHoweverMany) {
    CPoolStringStorage pool;
    const auto text = [](int i) { return CString(("t" + std::to_string(i)).c_str()); };
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 40; ++i) {
            EXPECT_EQ(pool.Add(text(i)), i);
        }
    }
    const std::string bytes = Archive(true, [&](CXMLArchive& ar) {
        CSafeStartAndEndElement root(ar, "Root");
        pool.XMLSerialize(ar, nullptr);
    });
    Reader reader(bytes, true);
    ASSERT_TRUE(reader.ar.ReadElementHeader("Root"));
    CPoolStringStorage readPool;
    readPool.XMLSerialize(reader.ar, nullptr);
    EXPECT_EQ(readPool.Add(text(39)), 39);
    EXPECT_EQ(readPool.Add(text(40)), 40);
    EXPECT_EQ(readPool.Add(text(0)), 0);
}

TEST(CXMLArchiveTest, LayersOfAnotherDocumentMapByNameThenKind) {
    CLayerDefinition target;
    target.Add({10, "Top Copper", LayerKind::kCopperTop});
    target.Add({11, "F.Silk", LayerKind::kSilkscreenTop});
    target.Add({12, "Top Silk", LayerKind::kSilkscreenTop});
    EXPECT_EQ(target.FindMatch({1, "top silk", LayerKind::kSilkscreenTop})->id, 12);
    EXPECT_EQ(target.FindMatch({1, "Legend", LayerKind::kSilkscreenTop})->id, 11);
    EXPECT_EQ(target.FindMatch({1, "Top Silk", LayerKind::kCopperTop})->id, 10);  // kind first
    EXPECT_EQ(target.FindMatch({1, "Paste", LayerKind::kPasteTop})->id, 10);      // fallback
    EXPECT_EQ(CLayerDefinition().FindMatch({1, "x", LayerKind::kDrill}), nullptr);
}
