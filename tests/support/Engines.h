#pragma once
// The database engines a library may live on, for suites that run the same cases on each:
// instantiate them with kEveryEngine and derive the fixture from EngineTest.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tests/support/TempDir.h"

namespace vaultry::test {

enum class Engine { kSqlite, kPostgres };

inline const auto kEveryEngine = testing::Values(Engine::kSqlite, Engine::kPostgres);
// For the cases of a suite that need a library file itself.
inline const auto kFileEngineOnly = testing::Values(Engine::kSqlite);

std::string EngineName(const testing::TestParamInfo<Engine>& info);
inline void PrintTo(Engine engine, std::ostream* out) {
    *out << (engine == Engine::kSqlite ? "a library file" : "a PostgreSQL server");
}

class EngineTest : public testing::TestWithParam<Engine> {
protected:
    // Skips the case on a machine without the engine.
    void SetUp() override;
    // Where a new database goes: a file `name` in a folder of the test's, or a new schema on
    // the tests' server.
    std::string NewLocation(const std::string& name);
    bool OnServer() const { return GetParam() == Engine::kPostgres; }

    TempDir files;
};

}  // namespace vaultry::test
