#pragma once
// The reference Footprint plug-in's generator of land patterns: real geometry on the built-in
// layers (copper pads, silkscreen outline, courtyard, reference designator), in nanometres,
// centred on the origin.

#include <memory>
#include <vector>

#include "host/CDrwGroup.h"

constexpr long kNanometresPerMillimetre = 1000000;
constexpr long Millimetres(double mm) {
    return static_cast<long>(mm * kNanometresPerMillimetre + (mm < 0 ? -0.5 : 0.5));
}

struct TwoRowPattern {
    int pins = 8;
    long pitch = Millimetres(1.27);     // between neighbouring pins of a row
    long rowSpan = Millimetres(5.4);    // between the pad centres of the two rows
    long padWidth = Millimetres(1.55);  // across the row direction
    long padHeight = Millimetres(0.6);
    long drill = 0;  // through-hole pads when above 0
};

// SOIC, TSSOP, DIP and pin headers: two columns of pads, pin 1 top left, numbered
// counter-clockwise. `designator` becomes the KV_REFDES attribute and the silkscreen text.
std::unique_ptr<CDrwGroup> MakeTwoRowFootprint(const CString& name, const CString& designator,
                                               const TwoRowPattern& pattern);
// Four rows of pads around a square body (QFN): pins/4 to a side, pin 1 at the top of the left
// side, numbered counter-clockwise; an exposed thermal pad in the middle when `thermalPad` > 0.
struct QuadPattern {
    int pins = 16;
    long pitch = Millimetres(0.5);
    long span = Millimetres(2.9);  // between the pad centres of opposite sides
    long padLength = Millimetres(0.8);
    long padWidth = Millimetres(0.28);
    long thermalPad = Millimetres(1.7);  // side of the exposed pad
};
std::unique_ptr<CDrwGroup> MakeQuadFootprint(const CString& name, const CString& designator,
                                             const QuadPattern& pattern);

// One pad of a freely placed land pattern.
struct PadPlacement {
    CString number;
    long x = 0;
    long y = 0;
    long width = 0;
    long height = 0;
    long drill = 0;
};
// Pads where they are given (SOT-23, SOT-223, TO-220, pin headers), with a silkscreen body of
// `bodyWidth` by `bodyHeight` around the origin.
std::unique_ptr<CDrwGroup> MakePlacedFootprint(const CString& name, const CString& designator,
                                               const std::vector<PadPlacement>& pads,
                                               long bodyWidth, long bodyHeight);

// A two-terminal chip (resistor, capacitor): pads centred `padSpan` apart.
std::unique_ptr<CDrwGroup> MakeChipFootprint(const CString& name, const CString& designator,
                                             long padSpan, long padWidth, long padHeight);
