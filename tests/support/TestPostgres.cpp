#include "tests/support/TestPostgres.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "platform/dao/PgConnection.h"

namespace vaultry::test {
namespace {

// A cluster this program started itself, stopped as the program ends.
class OwnCluster {
public:
    explicit OwnCluster(std::string folder) : m_folder(std::move(folder)) { Run("start"); }
    ~OwnCluster() { Run("stop"); }
    OwnCluster(const OwnCluster&) = delete;
    OwnCluster& operator=(const OwnCluster&) = delete;

private:
    void Run(const char* action) const {
        const std::string command = std::string(VAULTRY_POSTGRES_CLUSTER_SCRIPT) + " " + action +
                                    " " + m_folder + " >/dev/null";
        if (std::system(command.c_str()) != 0) {
            std::abort();  // a cluster half started would make every later test lie
        }
    }
    std::string m_folder;
};

std::string ClusterFolder() {
    if (const char* shared = std::getenv("VAULTRY_TEST_POSTGRES")) {
        return shared;
    }
    static const std::string own = "/tmp/vaultry-pg-" + std::to_string(::getpid());
    static const OwnCluster cluster(own);
    return own;
}

}  // namespace

TestPostgres* TestPostgres::Get() {
    static const std::unique_ptr<TestPostgres> server = []() -> std::unique_ptr<TestPostgres> {
        const std::string folder = ClusterFolder();
        if (!std::filesystem::exists(folder + "/ready")) {
            return nullptr;
        }
        return std::unique_ptr<TestPostgres>(new TestPostgres(folder));
    }();
    return server.get();
}

std::string TestPostgres::Location(const std::string& schema) const {
    std::string location = "postgresql:///tests?host=" + m_folder + "&user=vaultry";
    return schema.empty() ? location : location + "&options=-csearch_path%3D" + schema;
}

std::string TestPostgres::DatabaseLocation() const {
    return Location("");
}

std::string TestPostgres::NewLibraryLocation(bool made) {
    const std::string schema =
        "lib_" + std::to_string(::getpid()) + "_" + std::to_string(++m_librariesMade);
    if (made) {
        dao::PgConnection(DatabaseLocation(), false).Execute("CREATE SCHEMA " + schema);
    }
    return Location(schema);
}

}  // namespace vaultry::test
