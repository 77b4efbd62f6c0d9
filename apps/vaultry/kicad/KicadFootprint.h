#pragma once
// A KiCad footprint file (.kicad_mod, the s-expressions of KiCad 5 and 6) read into the host's
// drawing objects: pads (surface, plated and bare holes, round and slotted; round, rectangular,
// oval, rounded, trapezoid and free-form; turned by any angle), lines, arcs, circles, rectangles,
// polygons and texts on the copper, silkscreen, mask, paste, fabrication and courtyard layers.
// KiCad counts y downwards and in millimetres; the parts count y upwards and in nanometres. What
// the objects cannot hold as the file has it is kept as near as they can and counted by kind, never
// dropped without a word.

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "apps/vaultry/kicad/SExpression.h"

class CDrwGroup;

namespace vaultry::kicad {

struct Footprint {
    std::unique_ptr<CDrwGroup> part;  // named as the footprint
    // What was not kept as the file has it, by kind ("3D model", "arc in a polygon, stored as
    // its chord"), and how often.
    std::map<std::string, int> approximated;
};

// Throws SExpressionError, with the line, for text that is not a footprint or is damaged.
Footprint ReadFootprint(std::string_view text);

}  // namespace vaultry::kicad
