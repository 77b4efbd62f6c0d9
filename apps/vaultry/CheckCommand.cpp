// check: what is wrong in a library, one line per finding.

#include "access/LibraryChecker.h"
#include "apps/vaultry/Commands.h"
#include "apps/vaultry/Json.h"
#include "apps/vaultry/Session.h"

namespace vaultry::cli {

int CheckCommand(Session& session, const std::string& tier, Output output) {
    std::vector<std::pair<DATABASETYPE, std::string>> all;
    for (const DATABASETYPE type : TiersNamed(tier)) {
        for (std::string& finding : LibraryChecker(session.Tier(type)).Findings()) {
            all.emplace_back(type, std::move(finding));
        }
    }
    if (output.json) {
        output.out << "[";
        for (std::size_t i = 0; i < all.size(); ++i) {
            output.out << (i ? "," : "") << "{\"tier\":\"" << TierName(all[i].first)
                       << "\",\"finding\":" << JsonString(all[i].second) << "}";
        }
        output.out << "]\n";
    } else {
        for (const auto& [type, finding] : all) {
            output.out << TierName(type) << ": " << finding << "\n";
        }
        if (all.empty()) {
            output.out << "no problems found\n";
        }
    }
    return all.empty() ? 0 : 1;
}

}  // namespace vaultry::cli
