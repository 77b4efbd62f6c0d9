#include "apps/vaultry/PartReference.h"

#include "access/CMSAccessDBHandler.h"
#include "apps/vaultry/Categories.h"
#include "apps/vaultry/Commands.h"
#include "apps/vaultry/Session.h"

namespace vaultry::cli {

PartEntry ResolvePart(Session& session, const PartArgument& argument) {
    const std::vector<DATABASETYPE> tiers = TiersNamed(argument.tier);
    if (IsNumber(argument.text) && !argument.tier.empty()) {
        const std::optional<long> id = IdOf(argument.text);
        if (auto part = id ? FindPart(session.Tier(tiers.front()), *id) : std::nullopt) {
            return *part;
        }
        throw CommandError("no part " + argument.text + " in the " + argument.tier + " library");
    }
    for (const DATABASETYPE type : tiers) {
        CMSAccessDBHandler& tier = session.Tier(type);
        const long id = tier.GetObjectID(argument.text.c_str(), argument.docType.c_str());
        if (auto part = FindPart(tier, id)) {
            return *part;
        }
    }
    throw CommandError("no part named " + argument.text);
}

LoadedPart LoadPart(Session& session, const PartEntry& part, const CLayerDefinition* layers,
                    const CColorDefinition* colours) {
    LoadedPart loaded;
    loaded.ref = part;
    if (layers != nullptr && colours != nullptr) {
        loaded.layers.Init(*layers);
        loaded.colours.Init(*colours);
    }
    CDrwGroup* group = nullptr;
    const long typeID = session.Tier(part.tier).LoadObject(nullptr, group, part.id, &loaded.layers,
                                                           &loaded.colours);
    loaded.group.reset(group);
    if (typeID <= 0 || loaded.group == nullptr) {
        throw CommandError(part.name.str() +
                           " could not be loaded (its data is damaged or its "
                           "document type unknown)");
    }
    return loaded;
}

}  // namespace vaultry::cli
