// check: what is wrong in a library, one line per finding.

#include <set>

#include "access/CMSAccessDBHandler.h"
#include "apps/vaultry/Categories.h"
#include "apps/vaultry/Commands.h"
#include "apps/vaultry/Json.h"
#include "apps/vaultry/Session.h"
#include "host/CDrwGroup.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/CDaoRecordset.h"

namespace vaultry::cli {
namespace {

using Findings = std::vector<std::string>;

void CheckIntegrity(CMSAccessDBHandler& tier, Findings& findings) {
    CDaoRecordset check(&tier);
    check.Open(dbOpenSnapshot, "SELECT * FROM pragma_integrity_check");
    for (; !check.IsEOF(); check.MoveNext()) {
        const std::string line = check.GetFieldValue(0).AsText().str();
        if (line != "ok") {
            findings.push_back("file: " + line);
        }
    }
}

// Parts whose category, object type or blob row is missing.
void CheckPartRows(CMSAccessDBHandler& tier, Findings& findings) {
    struct Rule {
        const char* condition;
        const char* finding;
    };
    constexpr Rule kRules[] = {
        {"lObjectTreeID NOT IN (SELECT lTreeID FROM tObjectTree)", "its category is missing"},
        {"lObjectTypeID NOT IN (SELECT lObjectTypeID FROM tObjectTypes)",
         "its object type is missing"},
        {"lBlobID NOT IN (SELECT lBlobID FROM tBlobs)", "its data is missing"},
    };
    for (const Rule& rule : kRules) {
        CDaoRecordset parts(&tier);
        parts.Open(dbOpenSnapshot, CString("SELECT lObjectID, strObjectName FROM tObjects WHERE ") +
                                       rule.condition);
        for (; !parts.IsEOF(); parts.MoveNext()) {
            findings.push_back("part " + std::to_string(parts.GetFieldValue(0).AsInt64()) + " \"" +
                               parts.GetFieldValue(1).AsText().str() + "\": " + rule.finding);
        }
    }
}

// Every category must reach the one root through parents that exist, one level at a time.
void CheckTree(const CategoryTree& tree, Findings& findings) {
    int roots = 0;
    for (const Category& category : tree.All()) {
        const std::string name =
            "category " + std::to_string(category.id) + " \"" + category.name.str() + "\": ";
        if (category.IsRoot()) {
            ++roots;
            if (category.level != 0) {
                findings.push_back(name + "a top category at level " +
                                   std::to_string(category.level));
            }
            continue;
        }
        const Category* parent = tree.Find(category.parent);
        if (parent == nullptr) {
            findings.push_back(name + "its parent " + std::to_string(category.parent) +
                               " is missing");
            continue;
        }
        if (category.level != parent->level + 1) {
            findings.push_back(name + "at level " + std::to_string(category.level) +
                               " under a category at level " + std::to_string(parent->level));
        }
        std::set<long> seen{category.id};
        for (const Category* at = parent; at != nullptr && !at->IsRoot();
             at = tree.Find(at->parent)) {
            if (!seen.insert(at->id).second) {
                findings.push_back(name + "its parents run in a circle");
                break;
            }
        }
    }
    if (roots != 1) {
        findings.push_back("tree: " + std::to_string(roots) + " top categories instead of one");
    }
}

void CheckPartData(CMSAccessDBHandler& tier, Findings& findings) {
    CDaoRecordset parts(&tier);
    parts.Open(dbOpenSnapshot,
               "SELECT lObjectID, strObjectName FROM tObjects WHERE lBlobID IN "
               "(SELECT lBlobID FROM tBlobs)");
    for (; !parts.IsEOF(); parts.MoveNext()) {
        CDrwGroup* group = nullptr;
        CLayerDefinition layers;
        CColorDefinition colours;
        const long id = static_cast<long>(parts.GetFieldValue(0).AsInt64());
        const long type = tier.LoadObject(nullptr, group, id, &layers, &colours);
        delete group;
        if (type <= 0) {
            findings.push_back("part " + std::to_string(id) + " \"" +
                               parts.GetFieldValue(1).AsText().str() +
                               "\": its data does not decode");
        }
    }
}

}  // namespace

int CheckCommand(Session& session, const std::string& tier, Output output) {
    std::vector<std::pair<DATABASETYPE, std::string>> all;
    for (const DATABASETYPE type : TiersNamed(tier)) {
        Findings findings;
        CMSAccessDBHandler& handler = session.Tier(type);
        try {
            CheckIntegrity(handler, findings);
            CheckPartRows(handler, findings);
            CheckTree(CategoryTree(session, type), findings);
            CheckPartData(handler, findings);
        } catch (const CDaoException& e) {
            findings.push_back("file: " + e.GetErrorMessage().str());
        }
        for (const std::string& finding : findings) {
            all.emplace_back(type, finding);
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
