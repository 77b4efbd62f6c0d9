#include "host/CDrwShapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "host/BuiltInPlugIns.h"
#include "host/PartBlobCodec.h"

IMPLEMENT_SERIAL(CDrwPad, CDrawObject, 1)
IMPLEMENT_SERIAL(CDrwLine, CDrawObject, 1)
IMPLEMENT_SERIAL(CDrwArc, CDrawObject, 1)
IMPLEMENT_SERIAL(CDrwCircle, CDrawObject, 1)
IMPLEMENT_SERIAL(CDrwPolygon, CDrawObject, 1)
IMPLEMENT_SERIAL(CDrwText, CDrawObject, 1)

namespace {

// Sizes are never negative; a stored negative one is damage.
long Size(PartBlobReader& in) {
    const std::int64_t value = in.Signed();
    if (value < 0 || value > (std::int64_t{1} << 40)) {
        throw PartBlobError("a size in the part data is out of range");
    }
    return static_cast<long>(value);
}

long Coordinate(PartBlobReader& in) {
    const std::int64_t value = in.Signed();
    if (value < -(std::int64_t{1} << 40) || value > (std::int64_t{1} << 40)) {
        throw PartBlobError("a coordinate in the part data is out of range");
    }
    return static_cast<long>(value);
}

// A turn of at most one whole turn either way.
long Angle(PartBlobReader& in) {
    const std::int64_t value = in.Signed();
    if (value < -360000 || value > 360000) {
        throw PartBlobError("an angle in the part data is out of range");
    }
    return static_cast<long>(value);
}

bool Flag(PartBlobReader& in) {
    const std::uint8_t value = in.Byte();
    if (value > 1) {
        throw PartBlobError("a flag in the part data is neither 0 nor 1");
    }
    return value == 1;
}

}  // namespace

CDrwPad::CDrwPad(const CString& number, PadShape shape, long x, long y, long width, long height,
                 long drill)
    : m_strNumber(number),
      m_eShape(shape),
      m_x(x),
      m_y(y),
      m_width(width),
      m_height(height),
      m_drill(drill) {}

bool CDrwPad::IsCopperLand() const {
    const long layer = GetLayer();
    return (m_bPlated || m_drill == 0) &&
           (layer == kLayerCopperTop || layer == kLayerCopperBottom || layer == 0);
}

CKVRect CDrwPad::GetBoundingBox() const {
    if (m_rotation == 0 && m_eShape != PadShape::kPolygon) {
        return {m_x - m_width / 2, m_y + m_height / 2, m_x + m_width / 2, m_y - m_height / 2};
    }
    const double angle = static_cast<double>(m_rotation) / 1000.0 * std::numbers::pi / 180.0;
    const double cosine = std::cos(angle);
    const double sine = std::sin(angle);
    const auto turned = [&](double x, double y) {
        const long tx = std::lround(x * cosine - y * sine);
        const long ty = std::lround(x * sine + y * cosine);
        return CKVRect{m_x + tx, m_y + ty, m_x + tx, m_y + ty};
    };
    const double w = static_cast<double>(m_width) / 2;
    const double h = static_cast<double>(m_height) / 2;
    if (m_eShape == PadShape::kRound || m_eShape == PadShape::kOval) {
        // A stadium: the half of its straight part along the longer side, and its radius.
        const double along = std::fabs(w - h);
        const double radius = std::min(w, h);
        const double ax = w >= h ? cosine : -sine;
        const double ay = w >= h ? sine : cosine;
        const long hx = std::lround(std::fabs(along * ax) + radius);
        const long hy = std::lround(std::fabs(along * ay) + radius);
        return {m_x - hx, m_y + hy, m_x + hx, m_y - hy};
    }
    CKVRect box = turned(-w, -h).Union(turned(w, -h)).Union(turned(w, h)).Union(turned(-w, h));
    for (const auto& [x, y] : m_outline) {
        box = box.Union(turned(static_cast<double>(x), static_cast<double>(y)));
    }
    return box;
}

void CDrwPad::Offset(long dx, long dy) {
    m_x += dx;
    m_y += dy;
}

void CDrwPad::EncodeShape(PartBlobWriter& out) const {
    out.Text(m_strNumber);
    out.Byte(static_cast<std::uint8_t>(m_eShape));
    out.Signed(m_x);
    out.Signed(m_y);
    out.Signed(m_width);
    out.Signed(m_height);
    out.Signed(m_drill);
    out.Signed(m_rotation);
    out.Signed(m_drillHeight);
    out.Byte(m_bPlated ? 1 : 0);
    if (m_eShape == PadShape::kPolygon) {
        out.Unsigned(m_outline.size());
        for (const auto& [x, y] : m_outline) {
            out.Signed(x);
            out.Signed(y);
        }
    }
}

void CDrwPad::DecodeShape(PartBlobReader& in, const PartDefinitionMap&, int) {
    m_strNumber = in.Text();
    const std::uint8_t shape = in.Byte();
    const auto last = in.Version() >= 2 ? PadShape::kPolygon : PadShape::kRoundedRectangle;
    if (shape > static_cast<std::uint8_t>(last)) {
        throw PartBlobError("a pad shape in the part data is unknown");
    }
    m_eShape = static_cast<PadShape>(shape);
    m_x = Coordinate(in);
    m_y = Coordinate(in);
    m_width = Size(in);
    m_height = Size(in);
    m_drill = Size(in);
    if (in.Version() < 2) {
        return;
    }
    m_rotation = Angle(in);
    m_drillHeight = Size(in);
    m_bPlated = Flag(in);
    m_outline.clear();
    if (m_eShape == PadShape::kPolygon) {
        const std::size_t count = in.Count(2);
        m_outline.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            const long x = Coordinate(in);
            m_outline.emplace_back(x, Coordinate(in));
        }
    }
}

CDrwLine::CDrwLine(long x1, long y1, long x2, long y2, long width)
    : m_x1(x1), m_y1(y1), m_x2(x2), m_y2(y2), m_width(width) {}

CKVRect CDrwLine::GetBoundingBox() const {
    const long half = m_width / 2;
    return {std::min(m_x1, m_x2) - half, std::max(m_y1, m_y2) + half, std::max(m_x1, m_x2) + half,
            std::min(m_y1, m_y2) - half};
}

void CDrwLine::Offset(long dx, long dy) {
    m_x1 += dx, m_x2 += dx;
    m_y1 += dy, m_y2 += dy;
}

void CDrwLine::EncodeShape(PartBlobWriter& out) const {
    for (long value : {m_x1, m_y1, m_x2, m_y2, m_width}) {
        out.Signed(value);
    }
}

void CDrwLine::DecodeShape(PartBlobReader& in, const PartDefinitionMap&, int) {
    m_x1 = Coordinate(in);
    m_y1 = Coordinate(in);
    m_x2 = Coordinate(in);
    m_y2 = Coordinate(in);
    m_width = Size(in);
}

CDrwArc::CDrwArc(long cx, long cy, long radius, long startAngle, long sweepAngle, long width)
    : m_cx(cx),
      m_cy(cy),
      m_radius(radius),
      m_startAngle(startAngle),
      m_sweepAngle(sweepAngle),
      m_width(width) {}

// The end points, and every axis crossing the sweep passes.
CKVRect CDrwArc::GetBoundingBox() const {
    const auto point = [&](double millidegrees) {
        const double radians = millidegrees / 1000.0 * M_PI / 180.0;
        return std::pair{m_cx + std::lround(m_radius * std::cos(radians)),
                         m_cy + std::lround(m_radius * std::sin(radians))};
    };
    const long from = std::min(m_startAngle, m_startAngle + m_sweepAngle);
    const long to = std::max(m_startAngle, m_startAngle + m_sweepAngle);
    std::vector<std::pair<long, long>> points{point(from), point(to)};
    for (long axis = (from / 90000 - 1) * 90000; axis <= to; axis += 90000) {
        if (axis > from && axis < to) {
            points.push_back(point(static_cast<double>(axis)));
        }
    }
    CKVRect box = CKVRect::Empty();
    for (const auto& [x, y] : points) {
        box = box.Union({x, y, x, y});
    }
    const long half = m_width / 2;
    return {box.left - half, box.top + half, box.right + half, box.bottom - half};
}

void CDrwArc::Offset(long dx, long dy) {
    m_cx += dx;
    m_cy += dy;
}

void CDrwArc::EncodeShape(PartBlobWriter& out) const {
    for (long value : {m_cx, m_cy, m_radius, m_startAngle, m_sweepAngle, m_width}) {
        out.Signed(value);
    }
}

void CDrwArc::DecodeShape(PartBlobReader& in, const PartDefinitionMap&, int) {
    m_cx = Coordinate(in);
    m_cy = Coordinate(in);
    m_radius = Size(in);
    m_startAngle = Coordinate(in) % 360000;
    m_sweepAngle = std::clamp<long>(Coordinate(in), -360000, 360000);
    m_width = Size(in);
}

CDrwCircle::CDrwCircle(long cx, long cy, long radius, long width, bool filled)
    : m_cx(cx), m_cy(cy), m_radius(radius), m_width(width), m_bFilled(filled) {}

CKVRect CDrwCircle::GetBoundingBox() const {
    const long extent = m_radius + m_width / 2;
    return {m_cx - extent, m_cy + extent, m_cx + extent, m_cy - extent};
}

void CDrwCircle::Offset(long dx, long dy) {
    m_cx += dx;
    m_cy += dy;
}

void CDrwCircle::EncodeShape(PartBlobWriter& out) const {
    for (long value : {m_cx, m_cy, m_radius, m_width}) {
        out.Signed(value);
    }
    out.Byte(m_bFilled ? 1 : 0);
}

void CDrwCircle::DecodeShape(PartBlobReader& in, const PartDefinitionMap&, int) {
    m_cx = Coordinate(in);
    m_cy = Coordinate(in);
    m_radius = Size(in);
    m_width = Size(in);
    m_bFilled = Flag(in);
}

CDrwPolygon::CDrwPolygon(std::vector<std::pair<long, long>> points, long width, bool filled)
    : m_points(std::move(points)), m_width(width), m_bFilled(filled) {}

CKVRect CDrwPolygon::GetBoundingBox() const {
    CKVRect box = CKVRect::Empty();
    for (const auto& [x, y] : m_points) {
        box = box.Union({x, y, x, y});
    }
    if (box.IsEmpty()) {
        return box;
    }
    const long half = m_width / 2;
    return {box.left - half, box.top + half, box.right + half, box.bottom - half};
}

void CDrwPolygon::Offset(long dx, long dy) {
    for (auto& [x, y] : m_points) {
        x += dx;
        y += dy;
    }
}

void CDrwPolygon::EncodeShape(PartBlobWriter& out) const {
    out.Unsigned(m_points.size());
    for (const auto& [x, y] : m_points) {
        out.Signed(x);
        out.Signed(y);
    }
    out.Signed(m_width);
    out.Byte(m_bFilled ? 1 : 0);
}

void CDrwPolygon::DecodeShape(PartBlobReader& in, const PartDefinitionMap&, int) {
    const std::size_t count = in.Count(2);
    m_points.clear();
    m_points.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const long x = Coordinate(in);
        m_points.emplace_back(x, Coordinate(in));
    }
    m_width = Size(in);
    m_bFilled = Flag(in);
}

CDrwText::CDrwText(long x, long y, const CString& text, long height, long rotation)
    : m_x(x), m_y(y), m_strText(text), m_height(height), m_rotation(rotation) {}

CKVRect CDrwText::GetBoundingBox() const {
    const long width = m_height * 6 / 10 * m_strText.GetLength();
    return {m_x, m_y + m_height, m_x + width, m_y};
}

void CDrwText::Offset(long dx, long dy) {
    m_x += dx;
    m_y += dy;
}

void CDrwText::EncodeShape(PartBlobWriter& out) const {
    out.Signed(m_x);
    out.Signed(m_y);
    out.Text(m_strText);
    out.Signed(m_height);
    out.Signed(m_rotation);
}

void CDrwText::DecodeShape(PartBlobReader& in, const PartDefinitionMap&, int) {
    m_x = Coordinate(in);
    m_y = Coordinate(in);
    m_strText = in.Text();
    m_height = Size(in);
    m_rotation = Coordinate(in) % 360000;
}
