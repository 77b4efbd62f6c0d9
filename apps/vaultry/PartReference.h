#pragma once
// Finding the part a command names, and loading it.

#include <memory>

#include "access/PartListing.h"
#include "host/CColorDefinition.h"
#include "host/CDrwGroup.h"
#include "host/CLayerDefinition.h"

namespace vaultry::cli {

class Session;
struct PartArgument;

// The part named by `argument`: an id when its text is a number and a tier is given, else a
// name looked up in the tier given, or in the user, corporate and master library in turn (the
// first found counts), of the document type given or of any. Throws CommandError when none.
PartEntry ResolvePart(Session& session, const PartArgument& argument);

struct LoadedPart {
    PartEntry ref;
    // Filled by the load from the definitions stored with the part's type.
    CLayerDefinition layers;
    CColorDefinition colours;
    std::unique_ptr<CDrwGroup> group;
};

// Throws CommandError when the part does not load. With definitions given, the part's layers
// and colours are mapped onto them (by name and kind) instead of coming as stored.
LoadedPart LoadPart(Session& session, const PartEntry& part,
                    const CLayerDefinition* layers = nullptr,
                    const CColorDefinition* colours = nullptr);

}  // namespace vaultry::cli
