// Feeds arbitrary text to the KiCad footprint reader: it reads a footprint or names what is
// wrong, and nothing else.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "apps/vaultry/kicad/KicadFootprint.h"
#include "host/CDrwGroup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const vaultry::kicad::Footprint footprint = vaultry::kicad::ReadFootprint(
            std::string_view(reinterpret_cast<const char*>(data), size));
        footprint.part->GetBoundingBox();
    } catch (const vaultry::kicad::SExpressionError&) {
        // A damaged file, reported as such.
    }
    return 0;
}
