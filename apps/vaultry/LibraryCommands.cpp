#include "apps/vaultry/LibraryCommands.h"

#include <iostream>

#include "access/CMSAccessDBHandler.h"
#include "access/LibraryEditor.h"
#include "access/LibraryFiles.h"
#include "access/LibrarySet.h"
#include "access/LibraryTree.h"
#include "access/ModuleAttachment.h"
#include "access/RightsGate.h"
#include "access/TierPaths.h"
#include "apps/vaultry/Session.h"
#include "apps/vaultry/StarterSet.h"
#include "host/BuiltInPlugIns.h"
#include "host/ReferenceHost.h"
#include "platform/afx/CException.h"

namespace vaultry::cli {
namespace {

using Generation = LibraryFiles::Generation;

int Fail(const std::string& what, const std::string& why) {
    std::cerr << "vaultry: " << what << ": " << why << "\n";
    return 1;
}

bool Create(const std::string& path, DATABASETYPE tier, Generation generation) {
    try {
        LibraryFiles::Create(path.c_str(), tier, generation);
        return true;
    } catch (const CException& e) {
        Fail(path, e.GetErrorMessage().str());
        return false;
    }
}

bool PrintInfo(const std::string& path, std::ostream& out) {
    try {
        const LibraryFiles::Report report = LibraryFiles::Inspect(path.c_str());
        out << path << "\n  generation: " << static_cast<int>(report.generation)
            << "\n  version: " << (report.version.IsEmpty() ? "(none)" : report.version.GetString())
            << "\n";
        for (const auto& [table, rows] : report.rowCounts) {
            out << "  " << table.str() << ": " << rows << " rows\n";
        }
        return true;
    } catch (const LibraryFiles::Unusable& e) {
        Fail(path, e.what());
        return false;
    }
}

// The starter footprints into the new master library. The program made the library and, as its
// host, allows changing it for this.
int FillNewMaster(ReferenceHost& host, std::ostream& out) {
    CMSAccessDBHandler& master = *GetAccessDB(DATABASETYPE_MASTER);
    const LibraryTree tree(master);
    const LibraryCategory* root = tree.Root();
    if (root == nullptr) {
        return Fail("init", "the master library has no top category");
    }
    const bool allowed = host.MasterEditAllowed();
    host.SetMasterEditAllowed(true);
    RightsGate rights;
    LibraryEditor editor(master, rights);
    int status = 0;
    try {
        out << "stored " << FillStarterSet(editor, root->id)
            << " starter footprints in the master library\n";
    } catch (const std::exception& e) {
        status = Fail("init", e.what());
    }
    host.SetMasterEditAllowed(allowed);
    return status;
}

}  // namespace

int CreateLibraryCommand(const std::string& path, const std::string& tierName, int generation) {
    const auto tier = TierFromName(tierName);
    if (!tier) {
        return Fail(tierName, "no such tier (master, corporate or user)");
    }
    const Generation chosen = generation == 7 ? Generation::kOlder : Generation::kCurrent;
    return Create(path, *tier, chosen) ? 0 : 1;
}

int InfoCommand(const std::vector<std::string>& paths, std::ostream& out) {
    int status = 0;
    for (const std::string& path : paths) {
        status = PrintInfo(path, out) ? status : 1;
    }
    return status;
}

bool MakeMissingLibraries(ReferenceHost& host, std::ostream& out) {
    bool made = true;
    bool newMaster = false;
    for (const DATABASETYPE tier :
         {DATABASETYPE_MASTER, DATABASETYPE_CORPORATE, DATABASETYPE_USER}) {
        const std::string path = ConfiguredLibraryPath(host.Settings(), tier).str();
        if (!LibraryFiles::Exists(path.c_str())) {
            if (!Create(path, tier, Generation::kCurrent)) {
                made = false;
                continue;
            }
            newMaster = newMaster || tier == DATABASETYPE_MASTER;
            out << "created " << path << "\n";
        }
    }
    if (!made) {
        return false;
    }
    if (!AssureDBLoaded()) {
        Fail("init", "the libraries could not all be opened");
        return false;
    }
    return !newMaster || FillNewMaster(host, out) == 0;
}

int InitCommand(const std::string& configPath, std::ostream& out) {
    VaultryAttachModule();
    RegisterBuiltInPlugIns();
    ReferenceHost host(configPath);
    ShowProgressOnlyOnTerminal(host);
    int status = MakeMissingLibraries(host, out) ? 0 : 1;
    UnloadDB();
    for (const DATABASETYPE tier :
         {DATABASETYPE_MASTER, DATABASETYPE_CORPORATE, DATABASETYPE_USER}) {
        const std::string path = ConfiguredLibraryPath(host.Settings(), tier).str();
        status = LibraryFiles::Exists(path.c_str()) && !PrintInfo(path, out) ? 1 : status;
    }
    VaultryDetachModule();
    return status;
}

}  // namespace vaultry::cli
