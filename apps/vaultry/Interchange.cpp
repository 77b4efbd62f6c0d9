#include "apps/vaultry/Interchange.h"

#include <cstdio>
#include <pugixml.hpp>

#include "apps/vaultry/Session.h"
#include "host/CDrawAttribute.h"

namespace vaultry::cli {
namespace {

void WritePoints(pugi::xml_node node, const std::vector<std::pair<long, long>>& points) {
    for (const auto& [x, y] : points) {
        pugi::xml_node point = node.append_child("point");
        point.append_attribute("x") = x;
        point.append_attribute("y") = y;
    }
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
    pugi::xml_node root = document.append_child(kInterchangeRoot);
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

}  // namespace vaultry::cli
