#include "tests/support/LibraryFolder.h"

#include <fstream>

#include "access/LibrarySet.h"
#include "platform/dao/CDaoDatabase.h"
#include "tests/support/TestPostgres.h"

namespace vaultry::test {

LibraryFolder::LibraryFolder() {
    const std::string config = m_dir.File("settings.ini");
    std::ofstream(config) << "[libraries]\nfolder = " << m_dir.Path().string() << "\n";
    m_host = std::make_unique<ReferenceHost>(config);
}

void LibraryFolder::UseServer() {
    m_host.reset();
    const std::string config = m_dir.File("settings.ini");
    std::ofstream settings(config);
    settings << "[libraries]\nfolder = " << m_dir.Path().string() << "\n";
    for (const char* tier : {"master", "corporate", "user"}) {
        settings << tier << " = " << TestPostgres::Get()->NewLibraryLocation() << "\n";
    }
    settings.close();
    m_host = std::make_unique<ReferenceHost>(config);
}

LibraryFolder::~LibraryFolder() {
    UnloadDB();
}

std::string LibraryFolder::PathOf(DATABASETYPE tier) const {
    const CSet& settings = m_host->Settings();
    switch (tier) {
        case DATABASETYPE_MASTER:
            return settings.GetMasterLibraryPath().str();
        case DATABASETYPE_CORPORATE:
            return settings.GetCorporateLibraryPath().str();
        default:
            return settings.GetUserDatabasePath().str();
    }
}

void LibraryFolder::Create(DATABASETYPE tier, tables::Generation generation) {
    static const char* const kRootNames[] = {"Norvik Master", "Corporate database", "User"};
    tables::LibrarySchema::CreateLibrary(PathOf(tier).c_str(), kRootNames[tier - 1], generation);
}

void LibraryFolder::CreateAll() {
    for (DATABASETYPE tier : {DATABASETYPE_MASTER, DATABASETYPE_CORPORATE, DATABASETYPE_USER}) {
        Create(tier);
    }
}

void LibraryFolder::Execute(DATABASETYPE tier, const char* sql, tables::Generation generation) {
    CDaoDatabase database;
    database.Open(PathOf(tier).c_str(), FALSE, FALSE,
                  tables::LibrarySchema::ConnectString(generation));
    database.Execute(sql);
}

}  // namespace vaultry::test
