#include "apps/vaultry/Interchange.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <pugixml.hpp>

#include "apps/vaultry/Session.h"
#include "host/CDrawAttribute.h"
#include "host/CDrwShapes.h"

namespace vaultry::cli {
namespace {

constexpr const char* kRoot = "vaultry-parts";

struct PadShapeName {
    PadShape shape;
    const char* name;
};
constexpr PadShapeName kPadShapes[] = {{PadShape::kRound, "round"},
                                       {PadShape::kRectangle, "rectangle"},
                                       {PadShape::kOval, "oval"},
                                       {PadShape::kRoundedRectangle, "rounded-rectangle"},
                                       {PadShape::kPolygon, "polygon"}};

[[noreturn]] void Malformed(const pugi::xml_node& node, const std::string& why) {
    throw CommandError("not a valid part interchange file: <" + std::string(node.name()) +
                       ">: " + why);
}

// False unless `text` is a whole number, all of it.
bool WholeNumber(const std::string& text, long& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

long Number(const pugi::xml_node& node, const char* name) {
    const pugi::xml_attribute attribute = node.attribute(name);
    long value = 0;
    if (!attribute || !WholeNumber(attribute.value(), value)) {
        Malformed(node, std::string("attribute ") + name + " must be a whole number");
    }
    return value;
}

// An attribute files of earlier versions do not have.
long NumberOr(const pugi::xml_node& node, const char* name, long absent) {
    return node.attribute(name) ? Number(node, name) : absent;
}

bool Flag(const pugi::xml_node& node, const char* name) {
    const std::string text = node.attribute(name).value();
    if (text != "true" && text != "false") {
        Malformed(node, std::string("attribute ") + name + " must be true or false");
    }
    return text == "true";
}

void WritePoints(pugi::xml_node node, const std::vector<std::pair<long, long>>& points) {
    for (const auto& [x, y] : points) {
        pugi::xml_node point = node.append_child("point");
        point.append_attribute("x") = x;
        point.append_attribute("y") = y;
    }
}

std::vector<std::pair<long, long>> ReadPoints(const pugi::xml_node& node) {
    std::vector<std::pair<long, long>> points;
    for (const pugi::xml_node point : node.children("point")) {
        points.emplace_back(Number(point, "x"), Number(point, "y"));
    }
    return points;
}

// What pads gained after the first version is written only where it differs from the
// default, so that the files of parts without it stay as they were.
void WritePadExtras(pugi::xml_node node, const CDrwPad& pad) {
    if (pad.m_rotation != 0) {
        node.append_attribute("rotation") = pad.m_rotation;
    }
    if (pad.m_drillHeight != 0) {
        node.append_attribute("drillHeight") = pad.m_drillHeight;
    }
    if (!pad.m_bPlated) {
        node.append_attribute("plated") = false;
    }
    WritePoints(node, pad.m_outline);
}

void WriteCommon(pugi::xml_node node, const CDrawObject& object) {
    if (const CString* name = object.GetName()) {
        node.append_attribute("name") = name->GetString();
    }
    node.append_attribute("layer") = object.GetLayer();
    node.append_attribute("colour") = object.GetColor();
    for (int i = 0; i < object.GetAttributeCount(); ++i) {
        pugi::xml_node attribute = node.append_child("attribute");
        attribute.append_attribute("tag") = object.GetAttribute(i).GetTag().GetString();
        attribute.append_attribute("value") = object.GetAttribute(i).GetValue().GetString();
    }
}

void WriteObject(pugi::xml_node parent, const CDrawObject& object) {
    pugi::xml_node node;
    if (const auto* group = dynamic_cast<const CDrwGroup*>(&object)) {
        node = parent.append_child("group");
        WriteCommon(node, object);
        for (int i = 0; i < group->GetObjectCount(); ++i) {
            WriteObject(node, *group->GetObject(i));
        }
        return;
    }
    if (const auto* pad = dynamic_cast<const CDrwPad*>(&object)) {
        node = parent.append_child("pad");
        node.append_attribute("number") = pad->m_strNumber.GetString();
        for (const PadShapeName& shape : kPadShapes) {
            if (shape.shape == pad->m_eShape) {
                node.append_attribute("shape") = shape.name;
            }
        }
        node.append_attribute("x") = pad->m_x;
        node.append_attribute("y") = pad->m_y;
        node.append_attribute("width") = pad->m_width;
        node.append_attribute("height") = pad->m_height;
        node.append_attribute("drill") = pad->m_drill;
        WritePadExtras(node, *pad);
    } else if (const auto* line = dynamic_cast<const CDrwLine*>(&object)) {
        node = parent.append_child("line");
        node.append_attribute("x1") = line->m_x1;
        node.append_attribute("y1") = line->m_y1;
        node.append_attribute("x2") = line->m_x2;
        node.append_attribute("y2") = line->m_y2;
        node.append_attribute("width") = line->m_width;
    } else if (const auto* arc = dynamic_cast<const CDrwArc*>(&object)) {
        node = parent.append_child("arc");
        node.append_attribute("cx") = arc->m_cx;
        node.append_attribute("cy") = arc->m_cy;
        node.append_attribute("radius") = arc->m_radius;
        node.append_attribute("start") = arc->m_startAngle;
        node.append_attribute("sweep") = arc->m_sweepAngle;
        node.append_attribute("width") = arc->m_width;
    } else if (const auto* circle = dynamic_cast<const CDrwCircle*>(&object)) {
        node = parent.append_child("circle");
        node.append_attribute("cx") = circle->m_cx;
        node.append_attribute("cy") = circle->m_cy;
        node.append_attribute("radius") = circle->m_radius;
        node.append_attribute("width") = circle->m_width;
        node.append_attribute("filled") = circle->m_bFilled;
    } else if (const auto* polygon = dynamic_cast<const CDrwPolygon*>(&object)) {
        node = parent.append_child("polygon");
        node.append_attribute("width") = polygon->m_width;
        node.append_attribute("filled") = polygon->m_bFilled;
        WritePoints(node, polygon->m_points);
    } else if (const auto* text = dynamic_cast<const CDrwText*>(&object)) {
        node = parent.append_child("text");
        node.append_attribute("x") = text->m_x;
        node.append_attribute("y") = text->m_y;
        node.append_attribute("height") = text->m_height;
        node.append_attribute("rotation") = text->m_rotation;
        node.text() = text->m_strText.GetString();
    } else {
        return;  // dimensions are views of a part, not part of it
    }
    WriteCommon(node, object);
}

void ReadCommon(const pugi::xml_node& node, CDrawObject& object) {
    if (const pugi::xml_attribute name = node.attribute("name")) {
        object.SetName(name.value());
    }
    object.SetLayer(Number(node, "layer"));
    object.SetColor(Number(node, "colour"));
    for (const pugi::xml_node attribute : node.children("attribute")) {
        object.AddAttribute(std::make_unique<CDrawAttribute>(attribute.attribute("tag").value(),
                                                             attribute.attribute("value").value()));
    }
}

std::unique_ptr<CDrawObject> ReadObject(const pugi::xml_node& node, int depth);

std::unique_ptr<CDrwGroup> ReadGroup(const pugi::xml_node& node, int depth) {
    if (depth > CDrwGroup::kDeepestNesting) {
        Malformed(node, "groups nest too deeply");
    }
    auto group = std::make_unique<CDrwGroup>();
    ReadCommon(node, *group);
    for (const pugi::xml_node child : node.children()) {
        if (child.type() == pugi::node_element && std::string(child.name()) != "attribute") {
            group->Add(ReadObject(child, depth + 1));
        }
    }
    return group;
}

std::unique_ptr<CDrawObject> ReadShape(const pugi::xml_node& node) {
    const std::string kind = node.name();
    if (kind == "pad") {
        const std::string shapeName = node.attribute("shape").value();
        const PadShapeName* shape = nullptr;
        for (const PadShapeName& candidate : kPadShapes) {
            shape = shapeName == candidate.name ? &candidate : shape;
        }
        if (shape == nullptr) {
            Malformed(node, "unknown pad shape \"" + shapeName + "\"");
        }
        auto pad = std::make_unique<CDrwPad>(
            node.attribute("number").value(), shape->shape, Number(node, "x"), Number(node, "y"),
            Number(node, "width"), Number(node, "height"), Number(node, "drill"));
        pad->m_rotation = NumberOr(node, "rotation", 0);
        pad->m_drillHeight = NumberOr(node, "drillHeight", 0);
        pad->m_bPlated = !node.attribute("plated") || Flag(node, "plated");
        if (shape->shape == PadShape::kPolygon) {
            pad->m_outline = ReadPoints(node);
        }
        return pad;
    }
    if (kind == "line") {
        return std::make_unique<CDrwLine>(Number(node, "x1"), Number(node, "y1"),
                                          Number(node, "x2"), Number(node, "y2"),
                                          Number(node, "width"));
    }
    if (kind == "arc") {
        return std::make_unique<CDrwArc>(Number(node, "cx"), Number(node, "cy"),
                                         Number(node, "radius"), Number(node, "start"),
                                         Number(node, "sweep"), Number(node, "width"));
    }
    if (kind == "circle") {
        return std::make_unique<CDrwCircle>(Number(node, "cx"), Number(node, "cy"),
                                            Number(node, "radius"), Number(node, "width"),
                                            Flag(node, "filled"));
    }
    if (kind == "polygon") {
        return std::make_unique<CDrwPolygon>(ReadPoints(node), Number(node, "width"),
                                             Flag(node, "filled"));
    }
    if (kind == "text") {
        return std::make_unique<CDrwText>(Number(node, "x"), Number(node, "y"), node.child_value(),
                                          Number(node, "height"), Number(node, "rotation"));
    }
    Malformed(node, "unknown kind of object");
}

std::unique_ptr<CDrawObject> ReadObject(const pugi::xml_node& node, int depth) {
    if (std::string(node.name()) == "group") {
        return ReadGroup(node, depth);
    }
    std::unique_ptr<CDrawObject> object = ReadShape(node);
    ReadCommon(node, *object);
    return object;
}

void WriteDefinitions(pugi::xml_node root, const std::string& docType,
                      const InterchangeDefinitions& definitions) {
    pugi::xml_node node = root.append_child("definitions");
    node.append_attribute("docType") = docType.c_str();
    for (int i = 0; i < definitions.layers.GetCount(); ++i) {
        const LayerInfo& layer = definitions.layers.GetLayer(i);
        pugi::xml_node child = node.append_child("layer");
        child.append_attribute("id") = layer.id;
        child.append_attribute("name") = layer.name.GetString();
        child.append_attribute("kind") = LayerKindName(layer.kind);
    }
    for (int i = 0; i < definitions.colours.GetCount(); ++i) {
        const ColorInfo& colour = definitions.colours.GetColor(i);
        char rgb[8];
        std::snprintf(rgb, sizeof rgb, "#%06x", static_cast<unsigned>(colour.rgb & 0xFFFFFF));
        pugi::xml_node child = node.append_child("colour");
        child.append_attribute("id") = colour.id;
        child.append_attribute("name") = colour.name.GetString();
        child.append_attribute("rgb") = rgb;
    }
}

InterchangeDefinitions ReadDefinitions(const pugi::xml_node& node) {
    InterchangeDefinitions definitions;
    for (const pugi::xml_node layer : node.children("layer")) {
        definitions.layers.Add({Number(layer, "id"), layer.attribute("name").value(),
                                LayerKindFromName(layer.attribute("kind").value())});
    }
    for (const pugi::xml_node colour : node.children("colour")) {
        const std::string rgb = colour.attribute("rgb").value();
        unsigned value = 0;
        if (rgb.size() != 7 || rgb[0] != '#' ||
            std::from_chars(rgb.data() + 1, rgb.data() + 7, value, 16).ptr != rgb.data() + 7) {
            Malformed(colour, "attribute rgb must be #rrggbb");
        }
        definitions.colours.Add({Number(colour, "id"), colour.attribute("name").value(), value});
    }
    return definitions;
}

// XML 1.0 has no way to write the control characters other than tab and line ends, not even
// as references.
bool HoldsOnlyXmlCharacters(const char* text) {
    for (; *text != '\0'; ++text) {
        const auto code = static_cast<unsigned char>(*text);
        if (code < 0x20 && code != '\t' && code != '\n' && code != '\r') {
            return false;
        }
    }
    return true;
}

bool HoldsOnlyXmlCharacters(const pugi::xml_node& node) {
    for (const pugi::xml_attribute attribute : node.attributes()) {
        if (!HoldsOnlyXmlCharacters(attribute.value())) {
            return false;
        }
    }
    for (const pugi::xml_node child : node.children()) {
        if (!HoldsOnlyXmlCharacters(child.value()) || !HoldsOnlyXmlCharacters(child)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool FitsInterchange(const InterchangePart& part) {
    pugi::xml_document scratch;
    pugi::xml_node node = scratch.append_child("part");
    node.append_attribute("docType") = part.docType.c_str();
    node.append_attribute("category") = part.category.c_str();
    WriteObject(node, *part.group);
    return HoldsOnlyXmlCharacters(node);
}

void WriteInterchange(const InterchangeFile& file, const std::string& path) {
    pugi::xml_document document;
    pugi::xml_node root = document.append_child(kRoot);
    root.append_attribute("version") = kInterchangeVersion;
    root.append_attribute("units") = "nm";
    for (const auto& [docType, definitions] : file.definitions) {
        WriteDefinitions(root, docType, definitions);
    }
    for (const InterchangePart& part : file.parts) {
        pugi::xml_node node = root.append_child("part");
        node.append_attribute("docType") = part.docType.c_str();
        node.append_attribute("category") = part.category.c_str();
        WriteObject(node, *part.group);
    }
    if (!document.save_file(path.c_str(), "  ", pugi::format_default, pugi::encoding_utf8)) {
        throw CommandError("cannot write " + path);
    }
}

InterchangeReader::InterchangeReader(const std::string& path) : m_path(path), m_stream(path) {
    if (m_stream.RootName() != kRoot) {
        throw CommandError(path + ": not a part interchange file (no <" + kRoot + ">)");
    }
    const std::string version = m_stream.RootAttribute("version");
    long number = 0;
    if (!WholeNumber(version, number)) {
        throw CommandError("not a valid part interchange file: <" + std::string(kRoot) +
                           ">: attribute version must be a whole number");
    }
    if (number > kInterchangeVersion) {
        throw CommandError(path + ": made by a newer version of the format (" + version + ")");
    }
}

std::optional<InterchangePart> InterchangeReader::Next() {
    std::string name;
    std::string text;
    while (m_stream.Next(name, text)) {
        if (name == "definitions") {
            const pugi::xml_node node = Parse(m_element, text);
            m_definitions[node.attribute("docType").value()] = ReadDefinitions(node);
        } else if (name == "part") {
            return ReadPart(Parse(m_element, text));
        }
    }
    return std::nullopt;
}

// Each element is parsed by itself into `document`, replacing what it held.
pugi::xml_node InterchangeReader::Parse(pugi::xml_document& document, const std::string& text) {
    const pugi::xml_parse_result parsed =
        document.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
        throw CommandError(m_path + ": " + parsed.description());
    }
    return document.first_child();
}

InterchangePart InterchangeReader::ReadPart(const pugi::xml_node& node) {
    const pugi::xml_node group = node.child("group");
    if (!group) {
        Malformed(node, "a part holds one <group>");
    }
    const std::string docType = node.attribute("docType").value();
    if (m_definitions.count(docType) == 0) {
        GatherAllDefinitions();
    }
    if (m_definitions.count(docType) == 0) {
        Malformed(node, "no <definitions> for document type \"" + docType + "\"");
    }
    return {docType, node.attribute("category").value(), ReadGroup(group, 0)};
}

// Files this program writes give the definitions first; for a file that gives a part before
// its type's definitions, one pass over the whole file gathers them.
void InterchangeReader::GatherAllDefinitions() {
    if (m_gatheredAll) {
        return;
    }
    m_gatheredAll = true;
    XmlElementStream whole(m_path);
    pugi::xml_document element;
    std::string name;
    std::string text;
    while (whole.Next(name, text)) {
        if (name == "definitions") {
            const pugi::xml_node node = Parse(element, text);
            m_definitions.try_emplace(node.attribute("docType").value(), ReadDefinitions(node));
        }
    }
}

int InterchangeReader::Permille() const {
    const long long size = m_stream.Size();
    return size > 0 ? static_cast<int>(std::min(1000LL, m_stream.BytesRead() * 1000 / size)) : 0;
}

InterchangeFile ReadInterchange(const std::string& path) {
    InterchangeReader reader(path);
    InterchangeFile file;
    while (std::optional<InterchangePart> part = reader.Next()) {
        file.parts.push_back(std::move(*part));
    }
    file.definitions = reader.Definitions();
    return file;
}

}  // namespace vaultry::cli
