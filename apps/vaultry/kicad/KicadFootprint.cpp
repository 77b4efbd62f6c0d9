#include "apps/vaultry/kicad/KicadFootprint.h"

#include <charconv>
#include <cmath>
#include <numbers>
#include <optional>

#include "host/BuiltInPlugIns.h"
#include "host/CDrwGroup.h"
#include "host/CDrwShapes.h"

namespace vaultry::kicad {

namespace {

// Millimetres a coordinate may reach: a footprint a metre wide is damage, not a part.
constexpr double kMostMillimetres = 1000.0;
constexpr double kNanometresPerMillimetre = 1e6;

using Node = SExpression;

class FootprintReader {
public:
    Footprint Read(const Node& root) {
        if (!root.IsList("footprint") && !root.IsList("module")) {
            throw SExpressionError(
                root.line, "not a footprint: the file starts with \"(" + root.Head() + "\"");
        }
        if (root.items.size() < 2 || root.items[1].IsList()) {
            throw SExpressionError(root.line, "the footprint has no name");
        }
        m_result.part = std::make_unique<CDrwGroup>();
        m_result.part->SetName(root.items[1].text.c_str());
        for (std::size_t i = 2; i < root.items.size(); ++i) {
            Element(root.items[i]);
        }
        return std::move(m_result);
    }

private:
    void Approximated(const std::string& kind) { ++m_result.approximated[kind]; }

    void Element(const Node& node) {
        const std::string& head = node.Head();
        if (head == "pad") {
            Pad(node);
        } else if (head == "fp_line") {
            Line(node);
        } else if (head == "fp_arc") {
            Arc(node);
        } else if (head == "fp_circle") {
            Circle(node);
        } else if (head == "fp_rect") {
            Rectangle(node);
        } else if (head == "fp_poly") {
            Polygon(node);
        } else if (head == "fp_text") {
            Text(node);
        } else if (head == "model") {
            Approximated("3D model");
        } else if (head == "zone" || head == "group" || head == "fp_curve" || head == "dimension" ||
                   head == "fp_text_box" || head == "image") {
            Approximated(head);
        }
        // The rest describes the footprint (layer, descr, tags, attr, version, ...).
    }

    static double Number(const Node& node) {
        if (node.IsList()) {
            throw SExpressionError(node.line, "a number was expected, not a list");
        }
        double value = 0;
        const char* first = node.text.data();
        const char* last = first + node.text.size();
        const auto [end, error] = std::from_chars(first, last, value);
        if (error != std::errc() || end != last || !std::isfinite(value) ||
            std::fabs(value) > kMostMillimetres * 1000) {
            throw SExpressionError(node.line, "\"" + node.text + "\" is not a number");
        }
        return value;
    }
    // Item `index` of `node` (its head is item 0) as a number.
    static double NumberAt(const Node& node, std::size_t index) {
        if (index >= node.items.size()) {
            throw SExpressionError(node.line, "(" + node.Head() + ") lacks a value");
        }
        return Number(node.items[index]);
    }
    // The angle of an (at x y [angle] [unlocked]), in degrees; 0 without one.
    static double AngleOf(const Node& at) {
        return at.items.size() > 3 && at.items[3].kind == Node::Kind::kAtom &&
                       at.items[3].text != "unlocked"
                   ? NumberAt(at, 3)
                   : 0.0;
    }
    static long Length(double millimetres, int line) {
        if (std::fabs(millimetres) > kMostMillimetres) {
            throw SExpressionError(
                line, "a length of " + std::to_string(millimetres) + " mm is beyond any footprint");
        }
        return std::lround(millimetres * kNanometresPerMillimetre);
    }
    static const Node& Need(const Node& node, std::string_view head) {
        const Node* child = node.Child(head);
        if (child == nullptr) {
            throw SExpressionError(node.line,
                                   "(" + node.Head() + ") has no (" + std::string(head) + ")");
        }
        return *child;
    }
    // (at x y) or (start x y) and the like, y turned upwards.
    static std::pair<long, long> Point(const Node& node) {
        return {Length(NumberAt(node, 1), node.line), -Length(NumberAt(node, 2), node.line)};
    }
    static long StrokeWidth(const Node& node) {
        const Node* width = node.Child("width");
        if (const Node* stroke = node.Child("stroke"); stroke != nullptr && width == nullptr) {
            width = stroke->Child("width");
        }
        return width != nullptr ? Length(NumberAt(*width, 1), width->line) : 0;
    }
    static bool Filled(const Node& node) {
        const Node* fill = node.Child("fill");
        return fill != nullptr && fill->items.size() > 1 &&
               (fill->items[1].text == "solid" || fill->items[1].text == "yes");
    }
    // The host layer of a KiCad layer name; 0 for one the parts have no layer for.
    static long LayerOf(const std::string& name) {
        static const std::map<std::string, long, std::less<>> kLayers = {
            {"F.Cu", kLayerCopperTop},           {"B.Cu", kLayerCopperBottom},
            {"F.SilkS", kLayerSilkscreenTop},    {"F.Silkscreen", kLayerSilkscreenTop},
            {"B.SilkS", kLayerSilkscreenBottom}, {"B.Silkscreen", kLayerSilkscreenBottom},
            {"F.Mask", kLayerSolderMaskTop},     {"B.Mask", kLayerSolderMaskBottom},
            {"F.Paste", kLayerPasteTop},         {"F.Fab", kLayerAssembly},
            {"B.Fab", kLayerAssembly},           {"F.CrtYd", kLayerCourtyard},
            {"F.Courtyard", kLayerCourtyard},    {"B.CrtYd", kLayerCourtyard},
            {"B.Courtyard", kLayerCourtyard},    {"Edge.Cuts", kLayerMechanical},
            {"Dwgs.User", kLayerMechanical},     {"Cmts.User", kLayerMechanical},
        };
        const auto found = kLayers.find(name);
        return found == kLayers.end() ? 0 : found->second;
    }
    // The layer of a drawing element; false (counted) when the parts have none for it.
    bool Place(const Node& node, CDrawObject& object) {
        const Node* layer = node.Child("layer");
        const std::string name = layer != nullptr && layer->items.size() > 1
                                     ? layer->items[1].text
                                     : std::string("(none)");
        const long host = LayerOf(name);
        if (host == 0) {
            Approximated(node.Head() + " on layer " + name + ", left out");
            return false;
        }
        object.SetLayer(host);
        return true;
    }
    void Keep(const Node& node, std::unique_ptr<CDrawObject> object) {
        if (Place(node, *object)) {
            m_result.part->Add(std::move(object));
        }
    }

    void Pad(const Node& node);
    void Drill(const Node& hole, CDrwPad& pad);
    static std::vector<std::pair<long, long>> TrapezoidCorners(const Node& node, long width,
                                                               long height);
    std::vector<std::pair<long, long>> CustomOutline(const Node& node, long width, long height);
    void Line(const Node& node) {
        const auto [x1, y1] = Point(Need(node, "start"));
        const auto [x2, y2] = Point(Need(node, "end"));
        Keep(node, std::make_unique<CDrwLine>(x1, y1, x2, y2, StrokeWidth(node)));
    }
    void Arc(const Node& node);
    void Circle(const Node& node) {
        const auto [cx, cy] = Point(Need(node, "center"));
        const auto [ex, ey] = Point(Need(node, "end"));
        const long radius = std::lround(std::hypot(double(ex - cx), double(ey - cy)));
        Keep(node, std::make_unique<CDrwCircle>(cx, cy, radius, StrokeWidth(node), Filled(node)));
    }
    void Rectangle(const Node& node) {
        const auto [x1, y1] = Point(Need(node, "start"));
        const auto [x2, y2] = Point(Need(node, "end"));
        std::vector<std::pair<long, long>> corners{{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}};
        Keep(node,
             std::make_unique<CDrwPolygon>(std::move(corners), StrokeWidth(node), Filled(node)));
    }
    void Polygon(const Node& node) {
        std::vector<std::pair<long, long>> points;
        for (const Node& point : Need(node, "pts").items) {
            if (point.IsList("xy")) {
                points.push_back(Point(point));
            } else if (point.IsList("arc")) {
                Approximated("arc in a polygon, stored as its chord");
                points.push_back(Point(Need(point, "end")));
            }
        }
        if (points.size() < 2) {
            throw SExpressionError(node.line, "a polygon with fewer than two points");
        }
        const bool filled = node.Child("fill") != nullptr ? Filled(node) : true;
        Keep(node, std::make_unique<CDrwPolygon>(std::move(points), StrokeWidth(node), filled));
    }
    void Text(const Node& node) {
        if (node.items.size() < 3) {
            throw SExpressionError(node.line, "(fp_text) without its kind and text");
        }
        const Node& at = Need(node, "at");
        const auto [x, y] = Point(at);
        const long rotation = std::lround(AngleOf(at) * 1000);
        long height = Length(1.0, node.line);
        if (const Node* effects = node.Child("effects")) {
            if (const Node* font = effects->Child("font")) {
                if (const Node* size = font->Child("size")) {
                    height = Length(NumberAt(*size, 1), size->line);
                }
            }
        }
        Keep(node, std::make_unique<CDrwText>(x, y, CString(node.items[2].text.c_str()), height,
                                              rotation));
    }

    Footprint m_result;
};

// A pad's shape as the parts have them; trapezoids and free-form pads become polygons. None
// for a shape KiCad may add later.
std::optional<PadShape> ShapeOf(const std::string& shape) {
    static const std::map<std::string, PadShape, std::less<>> kShapes = {
        {"circle", PadShape::kRound},      {"rect", PadShape::kRectangle},
        {"oval", PadShape::kOval},         {"roundrect", PadShape::kRoundedRectangle},
        {"trapezoid", PadShape::kPolygon}, {"custom", PadShape::kPolygon},
    };
    const auto found = kShapes.find(shape);
    return found == kShapes.end() ? std::nullopt : std::optional(found->second);
}

// A pad's layer: its copper side, or for an opening in the paste or the mask alone (KiCad's
// pads without copper), that layer.
long PadLayer(const SExpression& node, const std::string& type) {
    const SExpression* layers = node.Child("layers");
    bool top = false;
    bool bottom = false;
    bool paste = false;
    for (std::size_t i = 1; layers != nullptr && i < layers->items.size(); ++i) {
        const std::string& name = layers->items[i].text;
        top = top || name == "F.Cu" || name == "*.Cu" || name == "F&B.Cu";
        bottom = bottom || name == "B.Cu" || name == "*.Cu" || name == "F&B.Cu";
        paste = paste || name == "F.Paste";
    }
    if (top || type != "smd" || layers == nullptr) {
        return kLayerCopperTop;
    }
    if (bottom) {
        return kLayerCopperBottom;
    }
    return paste ? kLayerPasteTop : kLayerSolderMaskTop;
}

void FootprintReader::Pad(const Node& node) {
    if (node.items.size() < 4) {
        throw SExpressionError(node.line, "(pad) without its number, type and shape");
    }
    const std::string& type = node.items[2].text;
    if (type != "smd" && type != "thru_hole" && type != "np_thru_hole" && type != "connect") {
        throw SExpressionError(node.line, "a pad of unknown type \"" + type + "\"");
    }
    const std::optional<PadShape> shape = ShapeOf(node.items[3].text);
    if (!shape) {
        Approximated(node.items[3].text + " pad, stored as a rectangle");
    }
    const Node& at = Need(node, "at");
    const auto [x, y] = Point(at);
    const Node& size = Need(node, "size");
    auto pad = std::make_unique<CDrwPad>(
        CString(node.items[1].text.c_str()), shape.value_or(PadShape::kRectangle), x, y,
        Length(NumberAt(size, 1), size.line), Length(NumberAt(size, 2), size.line));
    const long turn = std::lround(AngleOf(at) * 1000) % 360000;
    pad->m_rotation = turn < 0 ? turn + 360000 : turn;
    pad->m_bPlated = type != "np_thru_hole";
    if (const Node* hole = node.Child("drill"); hole != nullptr && type != "smd") {
        Drill(*hole, *pad);
    }
    if (node.items[3].text == "trapezoid") {
        pad->m_outline = TrapezoidCorners(node, pad->m_width, pad->m_height);
    } else if (node.items[3].text == "custom") {
        pad->m_outline = CustomOutline(node, pad->m_width, pad->m_height);
    }
    pad->SetLayer(PadLayer(node, type));
    m_result.part->Add(std::move(pad));
}

// (drill D), (drill oval W H), either with an (offset x y) the pad's shape is moved by.
void FootprintReader::Drill(const Node& hole, CDrwPad& pad) {
    const bool oval = hole.items.size() > 1 && hole.items[1].text == "oval";
    const std::size_t first = oval ? 2 : 1;
    pad.m_drill = Length(NumberAt(hole, first), hole.line);
    if (oval && hole.items.size() > first + 1 && !hole.items[first + 1].IsList()) {
        pad.m_drillHeight = Length(NumberAt(hole, first + 1), hole.line);
    }
    if (const Node* offset = hole.Child("offset");
        offset != nullptr && (NumberAt(*offset, 1) != 0 || NumberAt(*offset, 2) != 0)) {
        Approximated("pad off its drill's centre, stored centred on it");
    }
}

// KiCad's trapezoid: the rectangle of its size with one pair of sides narrowed by (rect_delta
// dx dy), dx narrowing the left and right sides, dy the top and bottom.
std::vector<std::pair<long, long>> FootprintReader::TrapezoidCorners(const Node& node, long width,
                                                                     long height) {
    double dx = 0;
    double dy = 0;
    if (const Node* delta = node.Child("rect_delta")) {
        dx = static_cast<double>(Length(NumberAt(*delta, 1), delta->line)) / 2;
        dy = static_cast<double>(Length(NumberAt(*delta, 2), delta->line)) / 2;
    }
    const double w = static_cast<double>(width) / 2;
    const double h = static_cast<double>(height) / 2;
    // Corners in KiCad's y-down frame, then turned upwards.
    const double corners[4][2] = {
        {-w - dy, h + dx}, {-w + dy, -h - dx}, {w - dy, -h + dx}, {w + dy, h - dx}};
    std::vector<std::pair<long, long>> outline;
    for (const auto& corner : corners) {
        outline.emplace_back(std::lround(corner[0]), -std::lround(corner[1]));
    }
    return outline;
}

// A free-form pad's outline: its polygon primitive; without one, its anchor. What else it is
// drawn with is counted.
std::vector<std::pair<long, long>> FootprintReader::CustomOutline(const Node& node, long width,
                                                                  long height) {
    std::vector<std::pair<long, long>> outline;
    if (const Node* primitives = node.Child("primitives")) {
        for (const Node& primitive : primitives->items) {
            if (primitive.IsList("gr_poly") && outline.empty()) {
                for (const Node& point : Need(primitive, "pts").items) {
                    if (point.IsList("xy")) {
                        outline.push_back(Point(point));
                    }
                }
            } else if (primitive.IsList()) {
                Approximated("free-form pad's " + primitive.Head() + ", left out of its outline");
            }
        }
    }
    if (outline.size() < 3) {
        outline = {{-width / 2, -height / 2},
                   {width / 2, -height / 2},
                   {width / 2, height / 2},
                   {-width / 2, height / 2}};
    }
    return outline;
}

// The centre of the circle through three points; false when they lie on one line.
bool CentreThrough(double ax, double ay, double bx, double by, double cx, double cy, double& x,
                   double& y) {
    const double d = 2.0 * (ax * (by - cy) + bx * (cy - ay) + cx * (ay - by));
    if (std::fabs(d) < 1.0) {
        return false;
    }
    const double a = ax * ax + ay * ay;
    const double b = bx * bx + by * by;
    const double c = cx * cx + cy * cy;
    x = (a * (by - cy) + b * (cy - ay) + c * (ay - by)) / d;
    y = (a * (cx - bx) + b * (ax - cx) + c * (bx - ax)) / d;
    return true;
}

// The anticlockwise turn from angle `from` to angle `to`, in [0, 2 pi).
double Anticlockwise(double from, double to) {
    return std::fmod(to - from + 4 * std::numbers::pi, 2 * std::numbers::pi);
}

// KiCad 6 gives an arc by its start, a point on it and its end; KiCad 5 by its centre (as
// "start"), its first end (as "end") and its angle, clockwise in KiCad's y-down view and so
// anticlockwise here.
void FootprintReader::Arc(const Node& node) {
    const auto [sx, sy] = Point(Need(node, "start"));
    const auto [ex, ey] = Point(Need(node, "end"));
    double cx = 0;
    double cy = 0;
    double from = 0;
    double sweep = 0;
    double radius = 0;
    if (const Node* mid = node.Child("mid")) {
        const auto [mx, my] = Point(*mid);
        if (!CentreThrough(sx, sy, mx, my, ex, ey, cx, cy)) {
            Approximated("arc without curvature, stored as a line");
            Keep(node, std::make_unique<CDrwLine>(sx, sy, ex, ey, StrokeWidth(node)));
            return;
        }
        from = std::atan2(sy - cy, sx - cx);
        const double toMid = Anticlockwise(from, std::atan2(my - cy, mx - cx));
        const double toEnd = Anticlockwise(from, std::atan2(ey - cy, ex - cx));
        sweep = toMid <= toEnd ? toEnd : toEnd - 2 * std::numbers::pi;
        radius = std::hypot(sx - cx, sy - cy);
    } else {
        cx = static_cast<double>(sx);
        cy = static_cast<double>(sy);
        from = std::atan2(ey - cy, ex - cx);
        sweep = NumberAt(Need(node, "angle"), 1) * std::numbers::pi / 180.0;
        radius = std::hypot(ex - cx, ey - cy);
    }
    const auto thousandths = [](double radians) {
        return std::lround(radians * 180000.0 / std::numbers::pi);
    };
    Keep(node, std::make_unique<CDrwArc>(std::lround(cx), std::lround(cy), std::lround(radius),
                                         thousandths(from), thousandths(sweep), StrokeWidth(node)));
}

}  // namespace

Footprint ReadFootprint(std::string_view text) {
    return FootprintReader().Read(ParseSExpression(text));
}

}  // namespace vaultry::kicad
