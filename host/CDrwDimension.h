#pragma once
// A dimension overlay: a measured distance between two points, with its text in a unit.

#include "host/CDrawObject.h"

// The kinds of dimension, one mask bit each.
enum DimensionKind : unsigned long {
    kDimHorizontalSpan = 0x01,
    kDimVerticalSpan = 0x02,
    kDimHorizontalPitch = 0x04,
    kDimVerticalPitch = 0x08,
    kDimInterRowHorizontalPitch = 0x10,
    kDimInterColumnVerticalPitch = 0x20,
    kDimPads = 0x40,
};

class CDrwDimension : public CDrawObject {
    DECLARE_SERIAL(CDrwDimension)

public:
    CDrwDimension() = default;
    CDrwDimension(DimensionKind kind, long x1, long y1, long x2, long y2, long value,
                  const CString& text);

    CKVObject* Clone() const override { return new CDrwDimension(*this); }
    CKVRect GetBoundingBox() const override;
    void Offset(long dx, long dy) override;
    void EncodeShape(PartBlobWriter& out) const override;
    void DecodeShape(PartBlobReader& in, const PartDefinitionMap& map, int depth) override;

    DimensionKind m_eKind = kDimHorizontalSpan;
    long m_x1 = 0, m_y1 = 0, m_x2 = 0, m_y2 = 0;
    long m_value = 0;  // nanometres
    CString m_strText;
};
