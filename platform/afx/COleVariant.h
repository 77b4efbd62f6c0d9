#pragma once
// A field value as DAO hands it out: empty, null, a number, a text or a block of bytes.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/afx/CString.h"

enum VARENUM : unsigned short {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I4 = 3,
    VT_R8 = 5,
    VT_BSTR = 8,
    VT_I8 = 20,
    VT_UI1 = 17,
    VT_ARRAY = 0x2000,
};

class COleVariant {
public:
    COleVariant() = default;
    static COleVariant Null();
    COleVariant(std::int64_t value);       // NOLINT: VT_I4 when it fits in 32 bits, else VT_I8
    COleVariant(double value);             // NOLINT
    COleVariant(const CString& text);      // NOLINT
    COleVariant(std::vector<BYTE> bytes);  // NOLINT: VT_ARRAY | VT_UI1

    bool IsNull() const { return vt == VT_NULL || vt == VT_EMPTY; }
    bool IsText() const { return vt == VT_BSTR; }
    bool IsNumber() const { return vt == VT_I4 || vt == VT_I8 || vt == VT_R8; }

    // Conversions in the manner of DAO's field binding: a null reads as 0 or empty, a text as
    // its leading number, a number as its decimal text.
    std::int64_t AsInt64() const;
    double AsDouble() const;
    CString AsText() const;
    const std::vector<BYTE>& AsBytes() const { return m_bytes; }

    bool operator==(const COleVariant& other) const;
    bool operator!=(const COleVariant& other) const { return !(*this == other); }

    unsigned short vt = VT_EMPTY;

private:
    std::int64_t m_integer = 0;
    double m_real = 0.0;
    CString m_text;
    std::vector<BYTE> m_bytes;
};
