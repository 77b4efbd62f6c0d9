#include "apps/vaultry/LibraryCommands.h"

#include <filesystem>
#include <iostream>

#include "access/LibrarySet.h"
#include "access/ModuleAttachment.h"
#include "access/TierPaths.h"
#include "apps/vaultry/Session.h"
#include "apps/vaultry/StarterSet.h"
#include "host/BuiltInPlugIns.h"
#include "host/CPathString.h"
#include "host/ReferenceHost.h"
#include "platform/dao/CDaoException.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"
#include "tables/LibraryExaminer.h"
#include "tables/LibrarySchema.h"

namespace vaultry::cli {
namespace {

using tables::Generation;

struct Tier {
    const char* name;
    DATABASETYPE type;
    UINT rootNameId;
};

constexpr Tier kTiers[] = {
    {"master", DATABASETYPE_MASTER, IDS_TIER_MASTER},
    {"corporate", DATABASETYPE_CORPORATE, IDS_TIER_CORPORATE},
    {"user", DATABASETYPE_USER, IDS_TIER_USER},
};

int Fail(const std::string& what, const std::string& why) {
    std::cerr << "vaultry: " << what << ": " << why << "\n";
    return 1;
}

bool Create(const std::string& path, const Tier& tier, Generation generation) {
    try {
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
        tables::LibrarySchema::CreateLibrary(path, ModuleString(tier.rootNameId), generation);
        return true;
    } catch (const CDaoException& e) {
        Fail(path, e.GetErrorMessage().str());
        return false;
    }
}

bool PrintInfo(const std::string& path, std::ostream& out) {
    try {
        const tables::LibraryReport report = tables::LibraryExaminer::Inspect(path);
        out << path << "\n  generation: " << static_cast<int>(report.generation)
            << "\n  version: " << (report.version.IsEmpty() ? "(none)" : report.version.GetString())
            << "\n";
        for (const auto& [table, rows] : report.rowCounts) {
            out << "  " << table.str() << ": " << rows << " rows\n";
        }
        return true;
    } catch (const tables::UnusableLibrary& e) {
        Fail(path, e.what());
        return false;
    }
}

}  // namespace

int CreateLibraryCommand(const std::string& path, const std::string& tierName, int generation) {
    for (const Tier& tier : kTiers) {
        if (tierName == tier.name) {
            const Generation chosen = generation == 7 ? Generation::kOlder : Generation::kCurrent;
            return Create(path, tier, chosen) ? 0 : 1;
        }
    }
    return Fail(tierName, "no such tier (master, corporate or user)");
}

int InfoCommand(const std::vector<std::string>& paths, std::ostream& out) {
    int status = 0;
    for (const std::string& path : paths) {
        status = PrintInfo(path, out) ? status : 1;
    }
    return status;
}

int InitCommand(const std::string& configPath, std::ostream& out) {
    VaultryAttachModule();
    RegisterBuiltInPlugIns();
    ReferenceHost host(configPath);
    ShowProgressOnlyOnTerminal(host);
    int status = 0;
    bool newMaster = false;
    for (const Tier& tier : kTiers) {
        const std::string path = ConfiguredLibraryPath(host.Settings(), tier.type).str();
        if (!CPathString(path).FileExists()) {
            if (!Create(path, tier, Generation::kCurrent)) {
                status = 1;
                continue;
            }
            newMaster = newMaster || tier.type == DATABASETYPE_MASTER;
            out << "created " << path << "\n";
        }
    }
    if (status == 0 && !AssureDBLoaded()) {
        status = Fail("init", "the libraries could not all be opened");
    }
    if (status == 0 && newMaster) {
        try {
            out << "stored " << FillStarterSet(*GetAccessDB(DATABASETYPE_MASTER))
                << " starter footprints in the master library\n";
        } catch (const CommandError& e) {
            status = Fail("init", e.what());
        }
    }
    UnloadDB();
    for (const Tier& tier : kTiers) {
        const std::string path = ConfiguredLibraryPath(host.Settings(), tier.type).str();
        status = CPathString(path).FileExists() && !PrintInfo(path, out) ? 1 : status;
    }
    VaultryDetachModule();
    return status;
}

}  // namespace vaultry::cli
