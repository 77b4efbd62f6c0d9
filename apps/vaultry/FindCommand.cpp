// find: parts by their land pattern, read from each library's table of measured patterns.

#include <algorithm>

#include "access/CMSAccessDBHandler.h"
#include "access/PartGeometryTable.h"
#include "apps/vaultry/Categories.h"
#include "apps/vaultry/Commands.h"
#include "apps/vaultry/Json.h"
#include "apps/vaultry/Session.h"

namespace vaultry::cli {

namespace {

struct Found {
    PartEntry part;
    PartGeometry geometry;
    double distance = 0;
};

void Print(const std::vector<Found>& found, const CUnitInfo& units, Output output) {
    std::ostream& out = output.out;
    if (!output.json) {
        for (const Found& f : found) {
            out << f.part.name.str() << "\t" << TierName(f.part.tier) << "\t" << f.geometry.padCount
                << " pads\tpitch " << units.Format(f.geometry.pitch).str() << "\tspan "
                << units.Format(f.geometry.span).str() << "\t" << f.geometry.rowCount << " rows\t"
                << (f.geometry.smd ? "SMD" : "THT") << "\n";
        }
        return;
    }
    out << "[";
    for (std::size_t i = 0; i < found.size(); ++i) {
        const Found& f = found[i];
        out << (i ? ",\n " : "") << "{\"id\":" << f.part.id
            << ",\"name\":" << JsonString(f.part.name.str()) << ",\"tier\":\""
            << TierName(f.part.tier) << "\",\"pads\":" << f.geometry.padCount
            << ",\"pitch\":" << f.geometry.pitch << ",\"span\":" << f.geometry.span
            << ",\"rows\":" << f.geometry.rowCount
            << ",\"smd\":" << (f.geometry.smd ? "true" : "false") << "}";
    }
    out << "]\n";
}

}  // namespace

int FindCommand(Session& session, const FindRequest& request, Output output) {
    if (request.geometry.Empty()) {
        throw CommandError("find: give at least one of --pads, --pitch, --span and --smd");
    }
    const CUnitInfo units = UnitNamed(request.unit);
    PartQuery query;
    query.name = request.name.c_str();
    if (!request.category.empty()) {
        const CategoryRef category = ResolveCategory(session, request.category, request.tier);
        query.tier = category.type;
        query.category = category.id;
        query.withSubTree = true;
    } else if (!request.tier.empty()) {
        query.tier = TiersNamed(request.tier).front();
    }
    query.geometry = request.geometry;
    // The libraries pick the matching rows; only those are listed and read.
    std::map<DATABASETYPE, std::map<long, PartGeometry>> measured;
    std::vector<Found> found;
    for (const PartEntry& part : ListParts(query)) {
        auto tier = measured.find(part.tier);
        if (tier == measured.end()) {
            tier =
                measured
                    .emplace(
                        part.tier,
                        PartGeometryTable(session.Tier(part.tier)).ReadMatching(request.geometry))
                    .first;
        }
        const auto geometry = tier->second.find(part.id);
        if (geometry != tier->second.end()) {
            found.push_back({part, geometry->second, request.geometry.Distance(geometry->second)});
        }
    }
    // Nearest first; equally near ones keep the lists' order.
    std::stable_sort(found.begin(), found.end(),
                     [](const Found& a, const Found& b) { return a.distance < b.distance; });
    Print(found, units, output);
    return 0;
}

}  // namespace vaultry::cli
