#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/dao/CDaoDatabase.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/CDaoRecordset.h"
#include "platform/dao/CDaoWorkspace.h"
#include "tests/support/Engines.h"
#include "tests/support/TempDir.h"

namespace {

long ErrorOfOpen(const std::string& path, const char* connect) {
    CDaoDatabase database;
    try {
        database.Open(path.c_str(), FALSE, FALSE, connect);
    } catch (const CDaoException& e) {
        EXPECT_FALSE(database.IsOpen());
        return e.m_pErrorInfo->m_lErrorCode;
    }
    return 0;
}

}  // namespace

class CDaoDatabaseTest : public testing::Test {
protected:
    vaultry::test::TempDir dir;
    std::string path = dir.File("lib.zblib");
};

class CDaoDatabaseEngineTest : public vaultry::test::EngineTest {};

INSTANTIATE_TEST_SUITE_P(Engines, CDaoDatabaseEngineTest, vaultry::test::kEveryEngine,
                         vaultry::test::EngineName);

TEST_P(CDaoDatabaseEngineTest, ADatabaseCarriesItsPasswordAndIsMadeOnlyOnce) {
    const std::string path = NewLocation("lib.zblib");
    {
        CDaoDatabase database;
        database.Create(path.c_str(), (std::string(dbLangGeneral) + ";pwd=Secret1").c_str());
        EXPECT_TRUE(database.IsOpen());
        EXPECT_EQ(database.GetName(), path.c_str());
        database.Execute("CREATE TABLE t (a INTEGER)");
    }
    EXPECT_EQ(ErrorOfOpen(path, ";PWD=Secret1"), 0);
    EXPECT_EQ(ErrorOfOpen(path, ";PWD=secret1"), JET_ERROR_INVALID_PASSWORD);
    EXPECT_EQ(ErrorOfOpen(path, ""), JET_ERROR_INVALID_PASSWORD);
    EXPECT_EQ(ErrorOfOpen(path, "ODBC;pwd=Secret1;DSN=x"), 0);
    try {
        CDaoDatabase database;
        database.Open(path.c_str(), FALSE, FALSE, ";PWD=Toma");
        FAIL();
    } catch (const CDaoException& e) {
        EXPECT_EQ(e.m_pErrorInfo->m_strDescription, "Not a valid password.");
    }
    try {
        CDaoDatabase again;
        again.Create(path.c_str(), (std::string(dbLangGeneral) + ";pwd=Other").c_str());
        FAIL();
    } catch (const CDaoException& e) {
        EXPECT_EQ(e.m_pErrorInfo->m_lErrorCode, JET_ERROR_DATABASE_EXISTS);
    }
    CDaoDatabase database;  // as it was: its password, its table
    database.Open(path.c_str(), FALSE, FALSE, ";PWD=Secret1");
    database.DeleteTableDef("T");
}

TEST_F(CDaoDatabaseTest, BadFilesFailWithSqlitesOwnError) {
    EXPECT_EQ(ErrorOfOpen(dir.File("missing.zblib"), ""), SQLITE_CANTOPEN);
    std::ofstream(path)
        << "This is a text file, not a library, and it is long enough to have a header.";
    EXPECT_EQ(ErrorOfOpen(path, ""), SQLITE_NOTADB);
    CDaoDatabase database;
    try {
        database.Create(path.c_str());
        FAIL();
    } catch (const CDaoException& e) {
        EXPECT_EQ(e.m_pErrorInfo->m_lErrorCode, JET_ERROR_DATABASE_EXISTS);
    }
}

// The file's journal mode as another program sees it.
std::string JournalMode(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* mode = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &mode, nullptr);
    const std::string text = sqlite3_step(mode) == SQLITE_ROW
                                 ? reinterpret_cast<const char*>(sqlite3_column_text(mode, 0))
                                 : "(none)";
    sqlite3_finalize(mode);
    sqlite3_close(db);
    return text;
}

TEST_F(CDaoDatabaseTest, OpeningAndReadingLeaveTheFileAsItWasUntilTheFirstWrite) {
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
    sqlite3_exec(other, "CREATE TABLE t (a INTEGER); INSERT INTO t VALUES (1)", nullptr, nullptr,
                 nullptr);
    sqlite3_close(other);
    std::ifstream in(path, std::ios::binary);
    const std::string before((std::istreambuf_iterator<char>(in)), {});
    {
        CDaoDatabase database;
        database.Open(path.c_str(), FALSE, FALSE, "");
        CDaoRecordset read(&database);
        read.Open(dbOpenSnapshot, "SELECT a FROM t");
        EXPECT_FALSE(read.IsEOF());
    }
    std::ifstream again(path, std::ios::binary);
    EXPECT_TRUE(std::string((std::istreambuf_iterator<char>(again)), {}) == before)
        << "the file was written";
    EXPECT_FALSE(std::filesystem::exists(path + "-wal"));
    EXPECT_EQ(JournalMode(path), "delete");
    {
        CDaoDatabase database;
        database.Open(path.c_str(), FALSE, FALSE, "");
        database.Execute("INSERT INTO t VALUES (2)");
    }
    EXPECT_EQ(JournalMode(path), "wal");  // a local file is written with a write-ahead log
    // An empty file is read as an empty database, and stays empty.
    const std::string empty = dir.File("empty.zblib");
    std::ofstream(empty).close();
    {
        CDaoDatabase database;
        database.Open(empty.c_str(), FALSE, FALSE, "");
        CDaoRecordset read(&database);
        read.Open(dbOpenSnapshot, "SELECT count(*) FROM sqlite_master");
    }
    EXPECT_EQ(std::filesystem::file_size(empty), 0u);
}

TEST_F(CDaoDatabaseTest, ExecuteReportsRowsAndRealErrors) {
    CDaoDatabase database;
    database.Create(path.c_str());
    database.Execute("CREATE TABLE t (a INTEGER)");
    database.Execute("INSERT INTO t VALUES (1)");
    database.Execute("INSERT INTO t VALUES (2)");
    database.Execute("UPDATE t SET a=a+1");
    EXPECT_EQ(database.GetRecordsAffected(), 2);
    try {
        database.Execute("INSERT INTO nowhere VALUES (1)");
        FAIL();
    } catch (const CDaoException& e) {
        EXPECT_EQ(e.m_pErrorInfo->m_lErrorCode, SQLITE_ERROR);
        EXPECT_NE(e.GetErrorMessage().Find("no such table: nowhere"), -1);
    }
    // An extended code keeps the message that names what failed.
    database.Execute("CREATE UNIQUE INDEX one_a ON t (a)");
    try {
        database.Execute("INSERT INTO t VALUES (2)");
        FAIL();
    } catch (const CDaoException& e) {
        EXPECT_EQ(e.m_scode, SQLITE_CONSTRAINT_UNIQUE);
        EXPECT_NE(e.GetErrorMessage().Find("UNIQUE constraint failed: t.a"), -1)
            << e.GetErrorMessage().str();
    }
    // Of two statements SQLite would run the first and report both done.
    try {
        database.Execute("DELETE FROM t; INSERT INTO t VALUES (7)");
        FAIL();
    } catch (const CDaoException& e) {
        EXPECT_EQ(e.m_pErrorInfo->m_lErrorCode, JET_ERROR_TEXT_AFTER_STATEMENT);
    }
    database.Execute("UPDATE t SET a=a");
    EXPECT_EQ(database.GetRecordsAffected(), 2);  // neither ran
    // Values bound to marks are taken as they are, quotes, marks and wildcards included.
    database.Execute("CREATE TABLE s (b TEXT)");
    database.Execute("INSERT INTO s VALUES (?)", {COleVariant(CString("it's ? *"))});
    database.Execute("UPDATE s SET b=b WHERE b='it''s ? *'");
    EXPECT_EQ(database.GetRecordsAffected(), 1);
    const std::vector<COleVariant> quoted{COleVariant(CString("it's ? *"))};
    EXPECT_EQ(database.QueryValue("SELECT Count(*) FROM s WHERE b=?", quoted).AsInt64(), 1);
    EXPECT_TRUE(database.QueryValue("SELECT b FROM s WHERE b<>?", quoted).IsNull());
    EXPECT_THROW(database.QueryValue("SELECT b FROM nowhere WHERE b=?", quoted), CDaoException);
    database.DeleteTableDef("T");
    EXPECT_THROW(database.DeleteTableDef("t"), CDaoException);
}

TEST_F(CDaoDatabaseTest, WorkspaceCloseClosesItsDatabases) {
    CDaoWorkspace workspace;
    workspace.Open();
    CDaoDatabase database(&workspace);
    database.Create(path.c_str());
    workspace.Close();
    EXPECT_FALSE(database.IsOpen());
    EXPECT_TRUE(database.GetName().IsEmpty());
    EXPECT_THROW(database.Execute("SELECT 1"), CDaoException);
}

TEST_F(CDaoDatabaseTest, AnotherProcessHoldingTheWriteLockGivesBusy) {
    {
        CDaoDatabase creator;
        creator.Create(path.c_str());
        creator.Execute("CREATE TABLE t (a INTEGER)");
    }
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(other, "BEGIN IMMEDIATE; INSERT INTO t VALUES (1)", nullptr, nullptr, nullptr),
        SQLITE_OK);
    CDaoDatabase database;
    database.Open(path.c_str());
    database.SetQueryTimeout(0);
    try {
        database.Execute("INSERT INTO t VALUES (2)");
        FAIL();
    } catch (const CDaoException& e) {
        EXPECT_EQ(e.m_pErrorInfo->m_lErrorCode & 0xFF, SQLITE_BUSY);
        EXPECT_EQ(e.m_pErrorInfo->m_strSource, "SQLite");
    }
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    database.Execute("INSERT INTO t VALUES (2)");
}
