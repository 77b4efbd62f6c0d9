// dupes: footprints whose copper pads match, pad for pad, wherever they stand and however they
// are turned, in one library or across them: the copies and near-copies a library collects.

#include <algorithm>
#include <map>
#include <memory>
#include <numeric>

#include "access/CMSAccessDBHandler.h"
#include "access/PartGeometryTable.h"
#include "apps/vaultry/Commands.h"
#include "apps/vaultry/Json.h"
#include "apps/vaultry/PartReference.h"
#include "apps/vaultry/Session.h"
#include "host/CDrwGroup.h"
#include "host/PadPattern.h"

namespace vaultry::cli {

namespace {

constexpr long kDefaultTolerance = 10000;  // 0.01 mm

struct Candidate {
    PartEntry part;
    PartGeometry geometry;
    std::unique_ptr<PadPattern> pattern;  // read when first compared
};

// Groups of alike parts by union of pairs; each group in list order.
class Groups {
public:
    explicit Groups(std::size_t size) : m_parent(size) {
        std::iota(m_parent.begin(), m_parent.end(), 0);
    }
    void Join(std::size_t a, std::size_t b) { m_parent[Root(a)] = Root(b); }
    std::vector<std::vector<std::size_t>> Sets() {
        std::map<std::size_t, std::vector<std::size_t>> sets;
        for (std::size_t i = 0; i < m_parent.size(); ++i) {
            sets[Root(i)].push_back(i);
        }
        std::vector<std::vector<std::size_t>> found;
        for (auto& [root, members] : sets) {
            if (members.size() > 1) {
                found.push_back(std::move(members));
            }
        }
        std::sort(found.begin(), found.end());
        return found;
    }

private:
    std::size_t Root(std::size_t at) {
        while (m_parent[at] != at) {
            at = m_parent[at] = m_parent[m_parent[at]];
        }
        return at;
    }
    std::vector<std::size_t> m_parent;
};

// A part that cannot be read has no pattern to compare (`vaultry check` names it).
const PadPattern* PatternOf(Session& session, Candidate& candidate) {
    if (candidate.pattern == nullptr) {
        try {
            candidate.pattern =
                std::make_unique<PadPattern>(*LoadPart(session, candidate.part).group);
        } catch (const CommandError&) {
            candidate.pattern = std::make_unique<PadPattern>(CDrwGroup());
        }
    }
    return candidate.pattern.get();
}

void Print(const std::vector<Candidate>& parts, const std::vector<std::vector<std::size_t>>& groups,
           Output output) {
    if (!output.json) {
        for (const auto& group : groups) {
            for (const std::size_t member : group) {
                output.out << (member == group.front() ? "" : "\t") << parts[member].part.name.str()
                           << " (" << TierName(parts[member].part.tier) << ")";
            }
            output.out << "\n";
        }
        return;
    }
    output.out << "[";
    for (std::size_t g = 0; g < groups.size(); ++g) {
        output.out << (g ? ",\n " : "") << "[";
        for (std::size_t i = 0; i < groups[g].size(); ++i) {
            const PartEntry& part = parts[groups[g][i]].part;
            output.out << (i ? "," : "") << "{\"id\":" << part.id
                       << ",\"name\":" << JsonString(part.name.str()) << ",\"tier\":\""
                       << TierName(part.tier) << "\"}";
        }
        output.out << "]";
    }
    output.out << "]\n";
}

}  // namespace

int DupesCommand(Session& session, const std::string& tier, const std::string& tolerance,
                 Output output) {
    const long within = tolerance.empty() ? kDefaultTolerance : ParseLength(tolerance).value;
    std::vector<Candidate> parts;
    for (const DATABASETYPE type : TiersNamed(tier)) {
        PartQuery query;
        query.tier = type;
        query.docTypes = "Footprint";
        const std::map<long, PartGeometry> measured =
            PartGeometryTable(session.Tier(type)).ReadAll();
        for (const PartEntry& part : ListParts(query)) {
            const auto found = measured.find(part.id);
            if (found != measured.end() && found->second.padCount > 0) {
                parts.push_back({part, found->second, nullptr});
            }
        }
    }
    // Only parts of one pad count, pitch and span can be alike: sorted so, each is compared
    // with the few that follow it.
    std::vector<std::size_t> order(parts.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&parts](std::size_t a, std::size_t b) {
        const PartGeometry& x = parts[a].geometry;
        const PartGeometry& y = parts[b].geometry;
        return std::tie(x.padCount, x.pitch, x.span) < std::tie(y.padCount, y.pitch, y.span);
    });
    Groups groups(parts.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        const PartGeometry& a = parts[order[i]].geometry;
        for (std::size_t j = i + 1; j < order.size(); ++j) {
            const PartGeometry& b = parts[order[j]].geometry;
            if (b.padCount != a.padCount || b.pitch - a.pitch > within) {
                break;
            }
            if (std::labs(b.span - a.span) <= within &&
                PatternOf(session, parts[order[i]])
                    ->Matches(*PatternOf(session, parts[order[j]]), within)) {
                groups.Join(order[i], order[j]);
            }
        }
    }
    Print(parts, groups.Sets(), output);
    return 0;
}

}  // namespace vaultry::cli
