#pragma once
// The reference Footprint plug-in's generator of land patterns: real geometry on the built-in
// layers (copper pads, silkscreen outline, courtyard, reference designator), in nanometres,
// centred on the origin.

#include <memory>

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
// A two-terminal chip (resistor, capacitor): pads centred `padSpan` apart.
std::unique_ptr<CDrwGroup> MakeChipFootprint(const CString& name, const CString& designator,
                                             long padSpan, long padWidth, long padHeight);
