#pragma once
// Finding the part a command names, and loading it.

#include <memory>

#include "host/CColorDefinition.h"
#include "host/CDrwGroup.h"
#include "host/CLayerDefinition.h"
#include "platform/afx/CString.h"
#include "resources/DatabaseType.h"

namespace vaultry::cli {

class Session;
struct PartArgument;

struct PartRef {
    DATABASETYPE tier = DATABASETYPE_USER;
    long id = 0;
    CString name;
    long owner = 0;
    long category = 0;
};

// The part named by `argument`: an id when its text is a number and a tier is given, else a
// name looked up in the tier given, or in the user, corporate and master library in turn (the
// first found counts), of the document type given or of any. Throws CommandError when none.
PartRef ResolvePart(Session& session, const PartArgument& argument);

struct LoadedPart {
    PartRef ref;
    CString docType;
    // Filled by the load from the definitions stored with the part's type.
    CLayerDefinition layers;
    CColorDefinition colours;
    std::unique_ptr<CDrwGroup> group;
};

// Throws CommandError when the part does not load. With definitions given, the part's layers
// and colours are mapped onto them (by name and kind) instead of coming as stored.
LoadedPart LoadPart(Session& session, const PartRef& part, const CLayerDefinition* layers = nullptr,
                    const CColorDefinition* colours = nullptr);

}  // namespace vaultry::cli
