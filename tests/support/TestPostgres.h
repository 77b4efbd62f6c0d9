#pragma once
// The tests' private PostgreSQL cluster: CTest starts it before the tests that need it (see
// tests/support/postgres-cluster.sh); a test program run by hand starts one of its own on first
// use and stops it as it exits. Each library a test makes lives in a schema of its own.

#include <string>

namespace vaultry::test {

class TestPostgres {
public:
    // Null when this machine has no PostgreSQL server: tests that need one skip.
    static TestPostgres* Get();

    // The connection string of a new, empty schema, for one library; with `made` false, of a
    // schema not made yet.
    std::string NewLibraryLocation(bool made = true);
    // The connection string of the shared test database, in no particular schema.
    std::string DatabaseLocation() const;

private:
    explicit TestPostgres(std::string folder) : m_folder(std::move(folder)) {}
    std::string Location(const std::string& schema) const;

    std::string m_folder;  // data, log and socket of the cluster
    int m_librariesMade = 0;
};

// Skips the running test when there is no server; else yields it.
#define VAULTRY_REQUIRE_POSTGRES(server)                                      \
    vaultry::test::TestPostgres* server = vaultry::test::TestPostgres::Get(); \
    if (server == nullptr) {                                                  \
        GTEST_SKIP() << "no PostgreSQL server on this machine";               \
    }

}  // namespace vaultry::test
