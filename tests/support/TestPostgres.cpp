#include "tests/support/TestPostgres.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "platform/dao/PgConnection.h"

namespace vaultry::test {
namespace {

constexpr const char* kOwnClusterPrefix = "/tmp/vaultry-pg-";

bool RunClusterScript(const char* action, const std::string& folder) {
    const std::string command =
        std::string(VAULTRY_POSTGRES_CLUSTER_SCRIPT) + " " + action + " " + folder + " >/dev/null";
    return std::system(command.c_str()) == 0;
}

// A cluster this program started itself, stopped as the program ends.
class OwnCluster {
public:
    explicit OwnCluster(std::string folder) : m_folder(std::move(folder)) { Run("start"); }
    ~OwnCluster() { Run("stop"); }
    OwnCluster(const OwnCluster&) = delete;
    OwnCluster& operator=(const OwnCluster&) = delete;

private:
    void Run(const char* action) const {
        if (!RunClusterScript(action, m_folder)) {
            std::abort();  // a cluster half started would make every later test lie
        }
    }
    std::string m_folder;
};

// A test program killed before it could stop its own cluster (by a debugger, say) leaves it
// running in a folder named after its process; the next one run by hand stops it.
void StopClustersLeftRunning() {
    const std::filesystem::path prefix(kOwnClusterPrefix);
    const std::string start = prefix.filename().string();
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(prefix.parent_path(), error)) {
        const std::string name = entry.path().filename().string();
        const std::string pid = name.substr(std::min(start.size(), name.size()));
        if (name.rfind(start, 0) == 0 && !pid.empty() &&
            pid.find_first_not_of("0123456789") == std::string::npos &&
            ::kill(static_cast<pid_t>(std::stol(pid)), 0) != 0 && errno == ESRCH) {
            RunClusterScript("stop", entry.path().string());
        }
    }
}

std::string ClusterFolder() {
    if (const char* shared = std::getenv("VAULTRY_TEST_POSTGRES")) {
        return shared;
    }
    StopClustersLeftRunning();
    static const std::string own = kOwnClusterPrefix + std::to_string(::getpid());
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
