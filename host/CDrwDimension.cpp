#include "host/CDrwDimension.h"

#include <algorithm>

#include "host/PartBlobCodec.h"

IMPLEMENT_SERIAL(CDrwDimension, CDrawObject, 1)

CDrwDimension::CDrwDimension(DimensionKind kind, long x1, long y1, long x2, long y2, long value,
                             const CString& text)
    : m_eKind(kind), m_x1(x1), m_y1(y1), m_x2(x2), m_y2(y2), m_value(value), m_strText(text) {}

CKVRect CDrwDimension::GetBoundingBox() const {
    return {std::min(m_x1, m_x2), std::max(m_y1, m_y2), std::max(m_x1, m_x2), std::min(m_y1, m_y2)};
}

void CDrwDimension::Offset(long dx, long dy) {
    m_x1 += dx, m_x2 += dx;
    m_y1 += dy, m_y2 += dy;
}

void CDrwDimension::EncodeShape(PartBlobWriter& out) const {
    out.Unsigned(m_eKind);
    for (long value : {m_x1, m_y1, m_x2, m_y2, m_value}) {
        out.Signed(value);
    }
    out.Text(m_strText);
}

void CDrwDimension::DecodeShape(PartBlobReader& in, const PartDefinitionMap&, int) {
    const std::uint64_t kind = in.Unsigned();
    if (kind == 0 || kind > kDimPads || (kind & (kind - 1)) != 0) {
        throw PartBlobError("a dimension kind in the part data is unknown");
    }
    m_eKind = static_cast<DimensionKind>(kind);
    m_x1 = static_cast<long>(in.Signed());
    m_y1 = static_cast<long>(in.Signed());
    m_x2 = static_cast<long>(in.Signed());
    m_y2 = static_cast<long>(in.Signed());
    m_value = static_cast<long>(in.Signed());
    m_strText = in.Text();
}
