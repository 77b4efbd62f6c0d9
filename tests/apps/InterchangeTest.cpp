// The interchange file keeps every kind of object whole, and a damaged or foreign file is
// refused with the reason, never half read.

#include <gtest/gtest.h>

#include <fstream>
#include <optional>

#include "apps/vaultry/Interchange.h"
#include "apps/vaultry/InterchangeElementReader.h"
#include "apps/vaultry/InterchangeReader.h"
#include "apps/vaultry/ReadAhead.h"
#include "apps/vaultry/Session.h"
#include "host/CDrawAttribute.h"
#include "host/CDrwShapes.h"
#include "host/FootprintGenerator.h"
#include "tests/support/TempDir.h"

namespace {

using vaultry::cli::CommandError;
using vaultry::cli::InterchangeFile;
using vaultry::cli::ReadInterchange;
using vaultry::cli::WriteInterchange;

// A group with one object of every kind, a nested group, names, attributes, layers, colours.
std::unique_ptr<CDrwGroup> EveryKind() {
    auto group = MakeTwoRowFootprint("Mixed \"<&>\"", "U7", TwoRowPattern{});
    auto inner = std::make_unique<CDrwGroup>();
    inner->SetName("inner");
    inner->Add(std::make_unique<CDrwArc>(1, 2, 300, -45000, 270000, 10));
    auto pad = std::make_unique<CDrwPad>("A1", PadShape::kOval, -5, 6, 70, 80, 9);
    pad->SetLayer(2);
    pad->SetColor(3);
    pad->AddAttribute(std::make_unique<CDrawAttribute>("NET", "GND"));
    inner->Add(std::move(pad));
    inner->Add(std::make_unique<CDrwText>(4, 5, "Ünïcødé text", 900, 90000));
    auto freeForm = std::make_unique<CDrwPad>("B2", PadShape::kPolygon, 7, 8, 40, 40, 12);
    freeForm->m_rotation = 30000;
    freeForm->m_drillHeight = 20;
    freeForm->m_bPlated = false;
    freeForm->m_outline = {{-20, -20}, {20, -20}, {0, 20}};
    inner->Add(std::move(freeForm));
    group->Add(std::move(inner));
    return group;
}

// Every field of every object, as text, for comparing groups.
std::string Describe(const CDrawObject& object) {
    std::string text = object.GetRuntimeClass()->m_lpszClassName;
    text += (object.GetName() ? " " + object.GetName()->str() : "") + " L" +
            std::to_string(object.GetLayer()) + " C" + std::to_string(object.GetColor());
    for (int i = 0; i < object.GetAttributeCount(); ++i) {
        text += " " + object.GetAttribute(i).GetTag().str() + "=" +
                object.GetAttribute(i).GetValue().str();
    }
    const CKVRect box = object.GetBoundingBox();
    text += " [" + std::to_string(box.left) + "," + std::to_string(box.top) + "," +
            std::to_string(box.right) + "," + std::to_string(box.bottom) + "]";
    if (const auto* pad = dynamic_cast<const CDrwPad*>(&object)) {
        text += " #" + pad->m_strNumber.str() + " s" + std::to_string(int(pad->m_eShape)) + " d" +
                std::to_string(pad->m_drill) + "x" + std::to_string(pad->m_drillHeight) + " r" +
                std::to_string(pad->m_rotation) + (pad->m_bPlated ? " plated" : " bare");
        for (const auto& [x, y] : pad->m_outline) {
            text += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
        }
    } else if (const auto* arc = dynamic_cast<const CDrwArc*>(&object)) {
        text += " a" + std::to_string(arc->m_startAngle) + "/" + std::to_string(arc->m_sweepAngle);
    } else if (const auto* label = dynamic_cast<const CDrwText*>(&object)) {
        text += " '" + label->m_strText.str() + "' r" + std::to_string(label->m_rotation);
    } else if (const auto* circle = dynamic_cast<const CDrwCircle*>(&object)) {
        text += circle->m_bFilled ? " filled" : " open";
    } else if (const auto* polygon = dynamic_cast<const CDrwPolygon*>(&object)) {
        text += " " + std::to_string(polygon->m_points.size()) + " points";
    } else if (const auto* group = dynamic_cast<const CDrwGroup*>(&object)) {
        for (int i = 0; i < group->GetObjectCount(); ++i) {
            text += "\n  " + Describe(*group->GetObject(i));
        }
    }
    return text;
}

class InterchangeTest : public testing::Test {
protected:
    std::string Write(const std::string& text) {
        const std::string path = dir.File("file.xml");
        std::ofstream(path) << text;
        return path;
    }

    // The reason ReadInterchange gives for `text`.
    std::string Refusal(const std::string& text) {
        try {
            ReadInterchange(Write(text));
        } catch (const CommandError& e) {
            return e.what();
        }
        return "(read)";
    }

    vaultry::test::TempDir dir;
};

TEST_F(InterchangeTest, EveryKindOfObjectAndTheDefinitionsComeBackWhole) {
    InterchangeFile file;
    file.definitions["Footprint"].layers.Add({1, "Top Copper", LayerKind::kCopperTop});
    file.definitions["Footprint"].layers.Add({7, "Edge & <cut>", LayerKind::kMechanical});
    file.definitions["Footprint"].colours.Add({3, "Red", 0xC83232});
    file.parts.push_back({"Footprint", "SMD/Fine pitch", EveryKind()});
    const std::string path = dir.File("parts.xml");
    WriteInterchange(file, path);

    const InterchangeFile read = ReadInterchange(path);
    ASSERT_EQ(read.parts.size(), 1u);
    EXPECT_EQ(read.parts[0].category, "SMD/Fine pitch");
    EXPECT_EQ(read.parts[0].docType, "Footprint");
    EXPECT_EQ(Describe(*read.parts[0].group), Describe(*file.parts[0].group));
    const auto& definitions = read.definitions.at("Footprint");
    ASSERT_EQ(definitions.layers.GetCount(), 2);
    EXPECT_EQ(definitions.layers.GetLayer(1),
              (LayerInfo{7, "Edge & <cut>", LayerKind::kMechanical}));
    EXPECT_EQ(definitions.colours.GetColor(0), (ColorInfo{3, "Red", 0xC83232}));
}

// Elements cross the blocks the file is read in; a part may come before its type's
// definitions, and the text keeps its references and non-ASCII letters.
TEST_F(InterchangeTest, ALargeFileIsReadAPartAtATime) {
    const std::string pad =
        "<pad shape=\"round\" number=\"1\" x=\"0\" y=\"0\" width=\"9\" height=\"9\" "
        "drill=\"4\" layer=\"1\" colour=\"0\"/>";
    std::string text =
        "<?xml version=\"1.0\"?>\n<vaultry-parts version=\"2\">"
        "<definitions docType=\"Footprint\"/><!-- <part> -->";
    constexpr int kParts = 3000;
    for (int i = 0; i < kParts; ++i) {
        const char* type = i == 1500 ? "CAD-Object" : "Footprint";
        text += std::string("<part docType=\"") + type + "\" category=\"A&amp;B\"><group name=\"Ω" +
                std::to_string(i) + "&lt;\" layer=\"0\" colour=\"0\">" + pad + pad +
                "</group></part>\n";
    }
    text +=
        "<definitions docType=\"CAD-Object\"><layer id=\"1\" name=\"Top\" "
        "kind=\"CopperTop\"/></definitions></vaultry-parts>";
    ASSERT_GT(text.size(), 4u * 65536u);

    vaultry::cli::InterchangeReader reader(Write(text));
    int count = 0;
    while (std::optional<vaultry::cli::InterchangePart> part = reader.Next()) {
        ASSERT_EQ(*part->group->GetName(), CString(("Ω" + std::to_string(count) + "<").c_str()));
        EXPECT_EQ(part->category, "A&B");
        EXPECT_EQ(part->group->Pads().size(), 2u);
        ++count;
    }
    EXPECT_EQ(count, kParts);
    EXPECT_EQ(reader.Definitions().at("CAD-Object").layers.GetCount(), 1);

    const std::size_t late = text.size() - 100;
    EXPECT_NE(Refusal(text.substr(0, late) + "<" + text.substr(late)).find("at byte"),
              std::string::npos);
    EXPECT_NE(Refusal("<!DOCTYPE x [<!ENTITY a \"b\">]><vaultry-parts version=\"2\"/>")
                  .find("a document type declaration is not allowed"),
              std::string::npos);
}

// A child ends at its own end tag, not at one that a comment, a CDATA section, a processing
// instruction or a quoted value only shows; what lies between children is passed over, and
// what lies outside the root refused.
TEST_F(InterchangeTest, AChildEndsAtItsOwnEndTag) {
    const std::string part =
        "<part docType=\"Footprint\"><!-- </part> --><?note </part>?><group name=\"a/>b</part>\" "
        "layer='0' colour=\"0\"><text x=\"0\" y=\"0\" height=\"9\" rotation=\"0\" "
        "layer=\"1\" colour=\"0\"><![CDATA[</part>]]></text></group></part>";
    const std::string head =
        "\xEF\xBB\xBF<?xml version=\"1.0\"?><!-- -->\n<vaultry-parts version=\"2\">"
        "<definitions docType=\"Footprint\"/>";
    const InterchangeFile read =
        ReadInterchange(Write(head + "<!-- <part> -->root text<![CDATA[<part>]]>" + part + part +
                              "</vaultry-parts >\n<!-- end -->\n"));
    ASSERT_EQ(read.parts.size(), 2u);
    EXPECT_EQ(*read.parts[1].group->GetName(), "a/>b</part>");
    const auto* text = dynamic_cast<const CDrwText*>(read.parts[1].group->GetObject(0));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->m_strText, "</part>");

    EXPECT_NE(Refusal(head + part + "</vaultry-parts>junk").find("junk after document element"),
              std::string::npos);
    EXPECT_NE(Refusal(head + part).find("ends before its root element"), std::string::npos);
    EXPECT_NE(Refusal(head + part + "</vaultry>").find("mismatched tag"), std::string::npos);
    EXPECT_NE(Refusal(head + "<part><!-- </part>").find("unclosed token"), std::string::npos);
    EXPECT_NE(Refusal(head + "<part></group></vaultry-parts>").find("at byte"), std::string::npos);
}

// An import reads on ahead of its stores: each part comes in file order with the definitions
// read before it, an error comes after the parts before it, and a reader stopped early ends.
TEST_F(InterchangeTest, ReadingAheadKeepsTheFilesOrderDefinitionsAndErrors) {
    const auto definitions = [](const char* layer) {
        return std::string("<definitions docType=\"Footprint\"><layer id=\"1\" name=\"") + layer +
               "\" kind=\"CopperTop\"/></definitions>";
    };
    const auto parts = [](int from, int to) {
        std::string text;
        for (int i = from; i < to; ++i) {
            text += "<part docType=\"Footprint\"><group name=\"P" + std::to_string(i) +
                    "\" layer=\"0\" colour=\"0\"/></part>";
        }
        return text;
    };
    constexpr int kBefore = 1500;  // more than wait at once: the reading waits for the stores
    const std::string path =
        Write("<vaultry-parts version=\"2\">" + definitions("A") + parts(0, kBefore) +
              definitions("B") + parts(kBefore, kBefore + 10) + "<part><oops></part>");
    vaultry::cli::InterchangeReader reader(path);
    int count = 0;
    try {
        vaultry::cli::ReadAhead reading(reader);
        while (std::optional<vaultry::cli::ReadAhead::Item> item = reading.Next()) {
            ASSERT_EQ(*item->part.group->GetName(), CString(("P" + std::to_string(count)).c_str()));
            const auto& layers = item->definitions->at("Footprint").layers;
            EXPECT_EQ(layers.GetLayer(0).name, count < kBefore ? "A" : "B");
            ++count;
        }
        FAIL() << "the malformed end was not reported";
    } catch (const CommandError& error) {
        EXPECT_NE(std::string(error.what()).find(path), std::string::npos);
    }
    EXPECT_EQ(count, kBefore + 10);

    vaultry::cli::InterchangeReader again(path);
    vaultry::cli::ReadAhead stoppedEarly(again);
    EXPECT_TRUE(stoppedEarly.Next().has_value());
}

TEST_F(InterchangeTest, AFileOfTheFirstVersionReadsItsPadsPlatedAndUnturned) {
    const InterchangeFile read = ReadInterchange(
        Write("<vaultry-parts version=\"1\"><definitions docType=\"Footprint\"/><part "
              "docType=\"Footprint\"><group layer=\"0\" colour=\"0\"><pad shape=\"round\" "
              "number=\"1\" x=\"0\" y=\"0\" width=\"9\" height=\"9\" drill=\"4\" layer=\"1\" "
              "colour=\"0\"/></group></part></vaultry-parts>"));
    ASSERT_EQ(read.parts.size(), 1u);
    const CDrwPad& pad = *read.parts[0].group->Pads().at(0);
    EXPECT_TRUE(pad.m_bPlated);
    EXPECT_EQ(pad.m_rotation, 0);
    EXPECT_EQ(pad.m_drillHeight, 0);
    EXPECT_TRUE(pad.m_outline.empty());
}

// A text object's text is its first run of characters that is not only white space, however
// the parser splits it (at references, at the blocks the file is read in).
TEST_F(InterchangeTest, ATextIsItsFirstRunOfCharacters) {
    const InterchangeFile read = ReadInterchange(
        Write("<vaultry-parts version=\"2\"><definitions docType=\"Footprint\"/><part "
              "docType=\"Footprint\"><group layer=\"0\" colour=\"0\"><text x=\"0\" y=\"0\" "
              "height=\"9\" rotation=\"0\" layer=\"1\" colour=\"0\">\n  <attribute tag=\"A\" "
              "value=\"1\"/>R&amp;D &#x3A9; <![CDATA[<5%>]]>\n<attribute tag=\"B\" "
              "value=\"2\"/>later</text></group></part></vaultry-parts>"));
    ASSERT_EQ(read.parts.size(), 1u);
    const auto* text = dynamic_cast<const CDrwText*>(read.parts[0].group->GetObject(0));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->m_strText, "R&D \u03A9 <5%>\n");
    EXPECT_EQ(text->GetAttributeCount(), 2);
}

TEST_F(InterchangeTest, ADamagedOrForeignFileIsRefusedWithTheReason) {
    const std::string head = "<vaultry-parts version=\"1\"><definitions docType=\"Footprint\"/>";
    const std::string part = "<part docType=\"Footprint\"><group layer=\"0\" colour=\"0\">";
    EXPECT_NE(Refusal("<vaultry-parts").find("file.xml: "), std::string::npos);
    EXPECT_NE(Refusal("<other/>").find("not a part interchange file"), std::string::npos);
    EXPECT_NE(Refusal("<vaultry-parts version=\"3\"/>").find("newer version of the format (3)"),
              std::string::npos);
    EXPECT_NE(Refusal(head + part +
                      "<line x1=\"1e3\" y1=\"0\" x2=\"0\" y2=\"0\" width=\"1\" layer=\"1\" "
                      "colour=\"0\"/></group></part></vaultry-parts>")
                  .find("<line>: attribute x1 must be a whole number"),
              std::string::npos);
    EXPECT_NE(Refusal(head + part + "<spline/></group></part></vaultry-parts>")
                  .find("<spline>: unknown kind of object"),
              std::string::npos);
    EXPECT_NE(Refusal(head + part +
                      "<pad shape=\"star\" number=\"1\" x=\"0\" y=\"0\" width=\"1\" height=\"1\" "
                      "drill=\"0\" layer=\"1\" colour=\"0\"/></group></part></vaultry-parts>")
                  .find("unknown pad shape \"star\""),
              std::string::npos);
    EXPECT_NE(Refusal(head + part +
                      "<pad shape=\"round\" number=\"1\" x=\"0\" y=\"0\" width=\"1\" height=\"1\" "
                      "drill=\"1\" plated=\"maybe\" layer=\"1\" colour=\"0\"/></group></part>"
                      "</vaultry-parts>")
                  .find("attribute plated must be true or false"),
              std::string::npos);
    EXPECT_NE(Refusal("<vaultry-parts version=\"1\">" + part + "</group></part></vaultry-parts>")
                  .find("no <definitions> for document type \"Footprint\""),
              std::string::npos);
    std::string deep = head + "<part docType=\"Footprint\">";
    for (int i = 0; i < 40; ++i) {
        deep += "<group layer=\"0\" colour=\"0\">";
    }
    for (int i = 0; i < 40; ++i) {
        deep += "</group>";
    }
    deep += "</part></vaultry-parts>";
    EXPECT_NE(Refusal(deep).find("groups nest too deeply"), std::string::npos);
}

TEST(WholeNumberTest, TakesEveryLongAndNothingElse) {
    for (const auto& [text, expected] : std::vector<std::pair<const char*, long>>{
             {"0", 0},
             {"-0", 0},
             {"007", 7},
             {"-123456", -123456},
             {"999999999999999999", 999999999999999999},
             {"9223372036854775807", 9223372036854775807},
             {"-9223372036854775808", -9223372036854775807 - 1}}) {
        long value = 1;
        EXPECT_TRUE(vaultry::cli::WholeNumber(text, value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
    for (const char* text : {"", "-", "+5", " 1", "1 ", "12a", "1e3", "--5", "0x10",
                             "9223372036854775808", "-9223372036854775809"}) {
        long value = 0;
        EXPECT_FALSE(vaultry::cli::WholeNumber(text, value)) << text;
    }
}

}  // namespace
