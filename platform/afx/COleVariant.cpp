#include "platform/afx/COleVariant.h"

#include <cstdlib>
#include <limits>

COleVariant COleVariant::Null() {
    COleVariant value;
    value.vt = VT_NULL;
    return value;
}

COleVariant::COleVariant(std::int64_t value)
    : vt(value >= std::numeric_limits<std::int32_t>::min() &&
                 value <= std::numeric_limits<std::int32_t>::max()
             ? VT_I4
             : VT_I8),
      m_integer(value) {}

COleVariant::COleVariant(double value) : vt(VT_R8), m_real(value) {}

COleVariant::COleVariant(const CString& text) : vt(VT_BSTR), m_text(text) {}

COleVariant::COleVariant(std::vector<BYTE> bytes)
    : vt(VT_ARRAY | VT_UI1), m_bytes(std::move(bytes)) {}

std::int64_t COleVariant::AsInt64() const {
    switch (vt) {
        case VT_I4:
        case VT_I8:
            return m_integer;
        case VT_R8:
            return static_cast<std::int64_t>(m_real);
        case VT_BSTR:
            return std::strtoll(m_text, nullptr, 10);
        default:
            return 0;
    }
}

double COleVariant::AsDouble() const {
    switch (vt) {
        case VT_I4:
        case VT_I8:
            return static_cast<double>(m_integer);
        case VT_R8:
            return m_real;
        case VT_BSTR:
            return std::strtod(m_text, nullptr);
        default:
            return 0.0;
    }
}

CString COleVariant::AsText() const {
    CString text;
    switch (vt) {
        case VT_I4:
        case VT_I8:
            text.Format("%lld", static_cast<long long>(m_integer));
            return text;
        case VT_R8:
            text.Format("%.17g", m_real);
            return text;
        case VT_BSTR:
            return m_text;
        default:
            return text;
    }
}

bool COleVariant::operator==(const COleVariant& other) const {
    if (IsNull() || other.IsNull()) {
        return IsNull() && other.IsNull();
    }
    if (vt != other.vt) {
        return false;
    }
    switch (vt) {
        case VT_R8:
            return m_real == other.m_real;
        case VT_BSTR:
            return m_text == other.m_text;
        case VT_ARRAY | VT_UI1:
            return m_bytes == other.m_bytes;
        default:
            return m_integer == other.m_integer;
    }
}
