#pragma once
// A search by land pattern: a pad count, a pitch and a span with units and tolerances
// ("1.27mm", "50mil", "5.4mm±0.2", "0.1in+-0.005"), surface pads only. Each term given narrows
// the parts; the parts found sort by how near they come.

#include <optional>
#include <stdexcept>
#include <string>

#include "host/PartGeometry.h"

class GeometryQueryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A length wanted, in nanometres, and how far from it a part may be.
struct LengthWanted {
    long value = 0;
    long tolerance = 0;
};

// "5.4mm±0.2", "50mil", "0.05in+-0.002", "1.27" (millimetres); the tolerance in the value's
// unit, 0.01 mm when none is given. Throws GeometryQueryError for anything else.
LengthWanted ParseLength(const std::string& text);

struct GeometryQuery {
    std::optional<long> pads;
    std::optional<LengthWanted> pitch;
    std::optional<LengthWanted> span;
    bool smdOnly = false;

    bool Empty() const { return !pads && !pitch && !span && !smdOnly; }
    bool Matches(const PartGeometry& geometry) const;
    // 0 for an exact match; grows with each term's distance, in units of its tolerance.
    double Distance(const PartGeometry& geometry) const;
};

// A name field's text split into geometry terms ("pads:8", "pitch:1.27", "span:5.4±0.2",
// "smd:yes") and the name typed among them (the other words, one space apart; the whole text
// when it holds no term). A term whose value is still being typed ("pitch:", "pitch:1.")
// narrows nothing.
struct NameAndGeometry {
    std::string name;
    GeometryQuery geometry;
};
NameAndGeometry SplitGeometryTerms(const std::string& text);
