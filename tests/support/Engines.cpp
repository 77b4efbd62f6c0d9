#include "tests/support/Engines.h"

#include "tests/support/TestPostgres.h"

namespace vaultry::test {

std::string EngineName(const testing::TestParamInfo<Engine>& info) {
    return info.param == Engine::kSqlite ? "File" : "Server";
}

void EngineTest::SetUp() {
    if (OnServer() && TestPostgres::Get() == nullptr) {
        GTEST_SKIP() << "no PostgreSQL server on this machine";
    }
}

std::string EngineTest::NewLocation(const std::string& name) {
    return OnServer() ? TestPostgres::Get()->NewLibraryLocation() : files.File(name);
}

}  // namespace vaultry::test
