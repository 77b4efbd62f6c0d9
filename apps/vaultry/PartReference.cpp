#include "apps/vaultry/PartReference.h"

#include "access/CMSAccessDBHandler.h"
#include "apps/vaultry/Categories.h"
#include "apps/vaultry/Commands.h"
#include "apps/vaultry/Session.h"
#include "tables/CRSObjects.h"

namespace vaultry::cli {
namespace {

// Fills `part` from the row of `id` in `type`; false when there is none.
bool ReadRow(Session& session, DATABASETYPE type, long id, PartRef& part) {
    CRSObjects& objects = *session.Tier(type).GetRSObjects();
    if (id <= 0 || !objects.FindObjectID(id)) {
        return false;
    }
    part = {type, id, objects.m_strObjectName, objects.m_lUserID, objects.m_lObjectTreeID};
    return true;
}

}  // namespace

PartRef ResolvePart(Session& session, const PartArgument& argument) {
    PartRef part;
    const std::vector<DATABASETYPE> tiers = TiersNamed(argument.tier);
    if (IsNumber(argument.text) && !argument.tier.empty()) {
        if (ReadRow(session, tiers.front(), std::stol(argument.text), part)) {
            return part;
        }
        throw CommandError("no part " + argument.text + " in the " + argument.tier + " library");
    }
    for (const DATABASETYPE type : tiers) {
        CMSAccessDBHandler& tier = session.Tier(type);
        const long id = argument.docType.empty()
                            ? tier.GetRSObjects()->GetFirstObjectID(argument.text.c_str())
                            : tier.GetObjectID(argument.text.c_str(), argument.docType.c_str());
        if (ReadRow(session, type, id, part)) {
            return part;
        }
    }
    throw CommandError("no part named " + argument.text);
}

LoadedPart LoadPart(Session& session, const PartRef& part, const CLayerDefinition* layers,
                    const CColorDefinition* colours) {
    LoadedPart loaded;
    loaded.ref = part;
    if (layers != nullptr && colours != nullptr) {
        loaded.layers.Init(*layers);
        loaded.colours.Init(*colours);
    }
    CMSAccessDBHandler& tier = session.Tier(part.tier);
    CDrwGroup* group = nullptr;
    const long typeID = tier.LoadObject(nullptr, group, part.id, &loaded.layers, &loaded.colours);
    loaded.group.reset(group);
    if (typeID <= 0 || loaded.group == nullptr) {
        throw CommandError(part.name.str() +
                           " could not be loaded (its data is damaged or its "
                           "document type unknown)");
    }
    loaded.docType = tier.GetDocType(typeID);
    return loaded;
}

}  // namespace vaultry::cli
