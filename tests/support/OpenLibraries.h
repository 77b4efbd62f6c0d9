#pragma once
// The three libraries made and opened through the library set, for tests of the record sets
// and of what is built on them. The user tier is the one most tests work in. Files unless a
// suite runs on every engine (OnEngine below).

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "host/BuiltInPlugIns.h"
#include "host/CBlob.h"
#include "platform/dao/CDaoDatabase.h"
#include "platform/dao/CDaoRecordset.h"
#include "platform/dao/FaultInjector.h"
#include "tests/support/Engines.h"
#include "tests/support/LibraryFolder.h"
#include "tests/support/TestPostgres.h"

namespace vaultry::test {

class OpenLibraries : public testing::Test {
protected:
    void SetUp() override {
        if (LibraryEngine() == Engine::kPostgres) {
            if (TestPostgres::Get() == nullptr) {
                GTEST_SKIP() << "no PostgreSQL server on this machine";
            }
            folder.UseServer();
        }
        folder.CreateAll();
        ASSERT_TRUE(AssureDBLoaded());
        user = GetAccessDB(DATABASETYPE_USER);
    }

    // A new blob holding `text`; the caller owns it.
    static CBlob* MakeBlob(const std::string& text) {
        return new CBlob(reinterpret_cast<const BYTE*>(text.data()),
                         static_cast<DWORD>(text.size()));
    }
    static std::string Text(const CBlob* blob) {
        return blob ? std::string(reinterpret_cast<const char*>(blob->m_pData), blob->m_nSize)
                    : std::string("(null)");
    }
    // Rows of `table` in the user library, counted outside the handler.
    long Count(const char* table) {
        CDaoDatabase database;
        database.Open(folder.PathOf(DATABASETYPE_USER).c_str(), FALSE, TRUE,
                      tables::LibrarySchema::ConnectString(tables::Generation::kCurrent));
        CDaoRecordset count(&database);
        count.Open(dbOpenSnapshot, CString("SELECT Count(*) FROM ") + table);
        return static_cast<long>(count.GetFieldValue(0).AsInt64());
    }

    virtual Engine LibraryEngine() const { return Engine::kSqlite; }
    bool OnServer() const { return LibraryEngine() == Engine::kPostgres; }

    LibraryFolder folder;
    CMSAccessDBHandler* user = nullptr;
};

// The libraries with the reference plug-ins, on a file system that fails when a test arms it
// (FaultInjector); what a test armed is disarmed after it.
class FaultInjectedLibraries : public OpenLibraries {
protected:
    // Faults reach only connections opened after this, so before any test opens one.
    static void SetUpTestSuite() { dao::FaultInjector::Install(); }
    void SetUp() override {
        RegisterBuiltInPlugIns();
        OpenLibraries::SetUp();
    }
    void TearDown() override { dao::FaultInjector::Disarm(); }
};

// `Libraries` on the engine the test's parameter names: for suites instantiated with
// kEveryEngine. Cases that need a file (faults of its file system, other programs opening it
// with SQLite) go in a suite of their own, instantiated with the file engine alone.
template <class Libraries>
class OnEngine : public Libraries, public testing::WithParamInterface<Engine> {
protected:
    Engine LibraryEngine() const override { return this->GetParam(); }
};

}  // namespace vaultry::test
