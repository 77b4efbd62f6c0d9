#include "apps/vaultry/InterchangeElementReader.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "host/CDrawAttribute.h"
#include "host/CDrwShapes.h"

namespace vaultry::cli {
namespace {

[[noreturn]] void Malformed(const char* element, const std::string& why) {
    throw MalformedElement("not a valid part interchange file: <" + std::string(element) +
                           ">: " + why);
}

// An absent attribute reads as empty text.
const char* Value(const XmlAttributes& attributes, const char* name) {
    const char* value = attributes.Find(name);
    return value != nullptr ? value : "";
}

long Number(const char* element, const XmlAttributes& attributes, const char* name) {
    const char* text = attributes.Find(name);
    long value = 0;
    if (text == nullptr || !WholeNumber(text, value)) {
        Malformed(element, std::string("attribute ") + name + " must be a whole number");
    }
    return value;
}

// An attribute files of earlier versions do not have.
long NumberOr(const char* element, const XmlAttributes& attributes, const char* name, long absent) {
    return attributes.Find(name) != nullptr ? Number(element, attributes, name) : absent;
}

bool Flag(const char* element, const XmlAttributes& attributes, const char* name) {
    const char* text = Value(attributes, name);
    const bool yes = std::strcmp(text, "true") == 0;
    if (!yes && std::strcmp(text, "false") != 0) {
        Malformed(element, std::string("attribute ") + name + " must be true or false");
    }
    return yes;
}

std::unique_ptr<CDrwPad> ReadPad(const XmlAttributes& a) {
    const char* shapeName = Value(a, "shape");
    const auto* shape = std::find_if(
        std::begin(kPadShapes), std::end(kPadShapes),
        [&](const PadShapeName& candidate) { return std::strcmp(shapeName, candidate.name) == 0; });
    if (shape == std::end(kPadShapes)) {
        Malformed("pad", "unknown pad shape \"" + std::string(shapeName) + "\"");
    }
    auto pad = std::make_unique<CDrwPad>(Value(a, "number"), shape->shape, Number("pad", a, "x"),
                                         Number("pad", a, "y"), Number("pad", a, "width"),
                                         Number("pad", a, "height"), Number("pad", a, "drill"));
    pad->m_rotation = NumberOr("pad", a, "rotation", 0);
    pad->m_drillHeight = NumberOr("pad", a, "drillHeight", 0);
    pad->m_bPlated = a.Find("plated") == nullptr || Flag("pad", a, "plated");
    return pad;
}

void ReadCommon(const char* element, const XmlAttributes& attributes, CDrawObject& object) {
    if (const char* name = attributes.Find("name")) {
        object.SetName(name);
    }
    object.SetLayer(Number(element, attributes, "layer"));
    object.SetColor(Number(element, attributes, "colour"));
}

bool OnlyWhiteSpace(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

}  // namespace

// Also tells `open` where the shape's points or text go, as they come in the element.
std::unique_ptr<CDrawObject> InterchangeElementReader::ReadShape(const char* kind,
                                                                 const XmlAttributes& a,
                                                                 Open& open) {
    if (std::strcmp(kind, "pad") == 0) {
        std::unique_ptr<CDrwPad> pad = ReadPad(a);
        if (pad->m_eShape == PadShape::kPolygon) {
            open.points = &pad->m_outline;
        }
        return pad;
    }
    if (std::strcmp(kind, "line") == 0) {
        return std::make_unique<CDrwLine>(Number(kind, a, "x1"), Number(kind, a, "y1"),
                                          Number(kind, a, "x2"), Number(kind, a, "y2"),
                                          Number(kind, a, "width"));
    }
    if (std::strcmp(kind, "arc") == 0) {
        return std::make_unique<CDrwArc>(Number(kind, a, "cx"), Number(kind, a, "cy"),
                                         Number(kind, a, "radius"), Number(kind, a, "start"),
                                         Number(kind, a, "sweep"), Number(kind, a, "width"));
    }
    if (std::strcmp(kind, "circle") == 0) {
        return std::make_unique<CDrwCircle>(Number(kind, a, "cx"), Number(kind, a, "cy"),
                                            Number(kind, a, "radius"), Number(kind, a, "width"),
                                            Flag(kind, a, "filled"));
    }
    if (std::strcmp(kind, "polygon") == 0) {
        auto polygon =
            std::make_unique<CDrwPolygon>(std::vector<std::pair<long, long>>(),
                                          Number(kind, a, "width"), Flag(kind, a, "filled"));
        open.points = &polygon->m_points;
        return polygon;
    }
    if (std::strcmp(kind, "text") == 0) {
        auto text =
            std::make_unique<CDrwText>(Number(kind, a, "x"), Number(kind, a, "y"), CString(),
                                       Number(kind, a, "height"), Number(kind, a, "rotation"));
        open.text = text.get();
        m_textRun.clear();
        m_textTaken = false;
        return text;
    }
    Malformed(kind, "unknown kind of object");
}

// Digit by digit with one test for overflow at the end: a part's file holds hundreds of
// numbers for each part, and std::from_chars tests every digit for it.
bool WholeNumber(std::string_view text, long& value) {
    const bool negative = !text.empty() && text.front() == '-';
    const std::string_view digits = text.substr(negative ? 1 : 0);
    if (digits.empty() || digits.size() > 18) {  // 18 digits cannot overflow
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        return error == std::errc() && end == text.data() + text.size();
    }
    long magnitude = 0;
    for (const char ch : digits) {
        if (ch < '0' || ch > '9') {
            return false;
        }
        magnitude = magnitude * 10 + (ch - '0');
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

void InterchangeElementReader::Start(const char* name, const XmlAttributes& attributes) {
    if (m_open.empty()) {
        StartChildOfRoot(name, attributes);
        return;
    }
    if (m_open.back().text != nullptr) {
        EndTextRun();
    }
    const Open parent = m_open.back();  // copied: the push may move it
    m_open.push_back(StartWithin(parent, name, attributes));
}

void InterchangeElementReader::StartChildOfRoot(const char* name, const XmlAttributes& attributes) {
    m_kind = Kind::kOther;
    m_open.clear();  // what a refused element left open
    m_definitions = {};
    m_group.reset();
    m_docType = Value(attributes, "docType");
    m_category.clear();
    if (std::strcmp(name, "definitions") == 0) {
        m_kind = Kind::kDefinitions;
    } else if (std::strcmp(name, "part") == 0 && m_partsToo) {
        m_kind = Kind::kPart;
        m_category = Value(attributes, "category");
    }
    m_open.push_back({m_kind != Kind::kOther});
}

InterchangeElementReader::Open InterchangeElementReader::StartWithin(
    const Open& parent, const char* name, const XmlAttributes& attributes) {
    if (!parent.read) {
        return {};
    }
    if (m_open.size() == 1) {  // a child of the definitions or of the part
        if (m_kind == Kind::kDefinitions) {
            ReadDefinition(name, attributes);
        } else if (std::strcmp(name, "group") == 0 && m_group == nullptr) {
            m_group = std::make_unique<CDrwGroup>();
            ReadCommon(name, attributes, *m_group);
            return {true, m_group.get(), m_group.get(), 0};
        }
        return {};
    }
    if (std::strcmp(name, "attribute") == 0) {
        parent.object->AddAttribute(
            std::make_unique<CDrawAttribute>(Value(attributes, "tag"), Value(attributes, "value")));
        return {};
    }
    if (parent.group != nullptr) {
        return StartObject(*parent.group, parent.groupDepth, name, attributes);
    }
    if (parent.points != nullptr && std::strcmp(name, "point") == 0) {
        parent.points->emplace_back(Number(name, attributes, "x"), Number(name, attributes, "y"));
    }
    return {};
}

InterchangeElementReader::Open InterchangeElementReader::StartObject(
    CDrwGroup& parent, int depth, const char* name, const XmlAttributes& attributes) {
    Open open{true};
    std::unique_ptr<CDrawObject> object;
    if (std::strcmp(name, "group") == 0) {
        if (depth + 1 > CDrwGroup::kDeepestNesting) {
            Malformed(name, "groups nest too deeply");
        }
        auto group = std::make_unique<CDrwGroup>();
        ReadCommon(name, attributes, *group);
        open.group = group.get();
        open.groupDepth = depth + 1;
        object = std::move(group);
    } else {
        object = ReadShape(name, attributes, open);
        ReadCommon(name, attributes, *object);
    }
    open.object = object.get();
    parent.Add(std::move(object));
    return open;
}

void InterchangeElementReader::ReadDefinition(const char* name, const XmlAttributes& attributes) {
    if (std::strcmp(name, "layer") == 0) {
        m_definitions.layers.Add({Number(name, attributes, "id"), Value(attributes, "name"),
                                  LayerKindFromName(Value(attributes, "kind"))});
    } else if (std::strcmp(name, "colour") == 0) {
        const std::string_view rgb = Value(attributes, "rgb");
        unsigned value = 0;
        if (rgb.size() != 7 || rgb[0] != '#' ||
            std::from_chars(rgb.data() + 1, rgb.data() + 7, value, 16).ptr != rgb.data() + 7) {
            Malformed(name, "attribute rgb must be #rrggbb");
        }
        m_definitions.colours.Add(
            {Number(name, attributes, "id"), Value(attributes, "name"), value});
    }
}

void InterchangeElementReader::End() {
    if (m_open.back().text != nullptr) {
        EndTextRun();
    }
    m_open.pop_back();
    if (m_open.empty() && m_kind == Kind::kPart && m_group == nullptr) {
        Malformed("part", "a part holds one <group>");
    }
}

void InterchangeElementReader::Text(std::string_view text) {
    if (m_open.back().text != nullptr && !m_textTaken) {
        m_textRun.append(text);
    }
}

void InterchangeElementReader::EndTextRun() {
    if (!m_textTaken && !OnlyWhiteSpace(m_textRun)) {
        m_open.back().text->m_strText = m_textRun.c_str();
        m_textTaken = true;
    }
    m_textRun.clear();
}

}  // namespace vaultry::cli
