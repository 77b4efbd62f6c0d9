#pragma once
// The shapes parts are drawn with: pads, lines, arcs, circles, polygons and texts. Coordinates
// and sizes are nanometres, angles thousandths of a degree (counter-clockwise from +x).

#include <utility>
#include <vector>

#include "host/CDrawObject.h"

// kPolygon: the outline's corners, from the pad's centre (trapezoids and free-form pads).
enum class PadShape : std::uint8_t { kRound, kRectangle, kOval, kRoundedRectangle, kPolygon };

class CDrwPad : public CDrawObject {
    DECLARE_SERIAL(CDrwPad)

public:
    CDrwPad() = default;
    CDrwPad(const CString& number, PadShape shape, long x, long y, long width, long height,
            long drill = 0);

    CKVObject* Clone() const override { return new CDrwPad(*this); }
    // Whether a part is soldered by this pad: copper (a pad of no layer counts as copper), not a
    // bare hole, nor an opening in the paste or the mask alone.
    bool IsCopperLand() const;
    // The pad as turned; a polygon's box covers its outline and its width and height.
    CKVRect GetBoundingBox() const override;
    void Offset(long dx, long dy) override;
    void EncodeShape(PartBlobWriter& out) const override;
    void DecodeShape(PartBlobReader& in, const PartDefinitionMap& map, int depth) override;

    CString m_strNumber;
    PadShape m_eShape = PadShape::kRound;
    long m_x = 0;
    long m_y = 0;
    long m_width = 0;
    long m_height = 0;
    long m_drill = 0;  // 0 for a surface pad
    // Stored since the second format of the part data; the first reads them as these defaults.
    long m_rotation = 0;     // thousandths of a degree, anticlockwise about the centre
    long m_drillHeight = 0;  // a slot m_drill wide and this high (in the pad's frame); 0: round
    bool m_bPlated = true;   // false: a bare hole, no copper
    std::vector<std::pair<long, long>> m_outline;  // kPolygon, in the pad's frame
};

class CDrwLine : public CDrawObject {
    DECLARE_SERIAL(CDrwLine)

public:
    CDrwLine() = default;
    CDrwLine(long x1, long y1, long x2, long y2, long width);

    CKVObject* Clone() const override { return new CDrwLine(*this); }
    CKVRect GetBoundingBox() const override;
    void Offset(long dx, long dy) override;
    void EncodeShape(PartBlobWriter& out) const override;
    void DecodeShape(PartBlobReader& in, const PartDefinitionMap& map, int depth) override;

    long m_x1 = 0, m_y1 = 0, m_x2 = 0, m_y2 = 0;
    long m_width = 0;
};

class CDrwArc : public CDrawObject {
    DECLARE_SERIAL(CDrwArc)

public:
    CDrwArc() = default;
    CDrwArc(long cx, long cy, long radius, long startAngle, long sweepAngle, long width);

    CKVObject* Clone() const override { return new CDrwArc(*this); }
    CKVRect GetBoundingBox() const override;
    void Offset(long dx, long dy) override;
    void EncodeShape(PartBlobWriter& out) const override;
    void DecodeShape(PartBlobReader& in, const PartDefinitionMap& map, int depth) override;

    long m_cx = 0, m_cy = 0, m_radius = 0;
    long m_startAngle = 0, m_sweepAngle = 0;
    long m_width = 0;
};

class CDrwCircle : public CDrawObject {
    DECLARE_SERIAL(CDrwCircle)

public:
    CDrwCircle() = default;
    CDrwCircle(long cx, long cy, long radius, long width, bool filled);

    CKVObject* Clone() const override { return new CDrwCircle(*this); }
    CKVRect GetBoundingBox() const override;
    void Offset(long dx, long dy) override;
    void EncodeShape(PartBlobWriter& out) const override;
    void DecodeShape(PartBlobReader& in, const PartDefinitionMap& map, int depth) override;

    long m_cx = 0, m_cy = 0, m_radius = 0, m_width = 0;
    bool m_bFilled = false;
};

class CDrwPolygon : public CDrawObject {
    DECLARE_SERIAL(CDrwPolygon)

public:
    CDrwPolygon() = default;
    CDrwPolygon(std::vector<std::pair<long, long>> points, long width, bool filled);

    CKVObject* Clone() const override { return new CDrwPolygon(*this); }
    CKVRect GetBoundingBox() const override;
    void Offset(long dx, long dy) override;
    void EncodeShape(PartBlobWriter& out) const override;
    void DecodeShape(PartBlobReader& in, const PartDefinitionMap& map, int depth) override;

    std::vector<std::pair<long, long>> m_points;
    long m_width = 0;
    bool m_bFilled = false;
};

class CDrwText : public CDrawObject {
    DECLARE_SERIAL(CDrwText)

public:
    CDrwText() = default;
    CDrwText(long x, long y, const CString& text, long height, long rotation = 0);

    CKVObject* Clone() const override { return new CDrwText(*this); }
    // An estimate from the height: glyphs are taken as 0.6 of the height wide.
    CKVRect GetBoundingBox() const override;
    void Offset(long dx, long dy) override;
    void EncodeShape(PartBlobWriter& out) const override;
    void DecodeShape(PartBlobReader& in, const PartDefinitionMap& map, int depth) override;

    long m_x = 0, m_y = 0;
    CString m_strText;
    long m_height = 0;
    long m_rotation = 0;
};
