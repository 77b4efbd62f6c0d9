#pragma once
// A temporary folder with a settings file and real library files (or libraries on the tests'
// server), and a reference host that reads them: what a test of the library set or of anything
// above it starts from.

#include <memory>
#include <string>

#include "host/ReferenceHost.h"
#include "resources/DatabaseType.h"
#include "tables/LibrarySchema.h"
#include "tests/support/Engines.h"
#include "tests/support/TempDir.h"

namespace vaultry::test {

class LibraryFolder {
public:
    // Writes the settings file (libraries master.zblib, corporate.zblib and user.zblib in the
    // folder) and starts the reference host on it. Makes no library.
    LibraryFolder();
    ~LibraryFolder();
    // Puts every tier in a new schema of the tests' PostgreSQL server instead; before any
    // library is made. The test must have made sure there is a server.
    void UseServer();

    // The configured path of `tier`.
    std::string PathOf(DATABASETYPE tier) const;
    // Makes the library of `tier` at its configured path.
    void Create(DATABASETYPE tier, tables::Generation generation = tables::Generation::kCurrent);
    void CreateAll();
    // Runs Jet SQL on the library of `tier` outside the library set, as a tool would.
    void Execute(DATABASETYPE tier, const char* sql,
                 tables::Generation generation = tables::Generation::kCurrent);

    TempDir& Dir() { return m_dir; }
    ReferenceHost& Host() { return *m_host; }
    CSet& Settings() { return m_host->Settings(); }

private:
    TempDir m_dir;
    std::unique_ptr<ReferenceHost> m_host;
};

// A library folder on the engine the test's parameter names (instantiate with kEveryEngine).
class LibraryFolderTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (!IsSkipped() && OnServer()) {
            folder.UseServer();
        }
    }

    LibraryFolder folder;
};

}  // namespace vaultry::test
