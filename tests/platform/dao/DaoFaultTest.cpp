#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "platform/dao/CDaoException.h"
#include "platform/dao/DaoTransaction.h"
#include "platform/dao/FaultInjector.h"
#include "tests/platform/dao/TestPartSet.h"
#include "tests/support/TempDir.h"

using vaultry::dao::DaoTransaction;
using vaultry::dao::FaultInjector;

class DaoFaultTest : public testing::Test {
protected:
    static void SetUpTestSuite() { FaultInjector::Install(); }
    void SetUp() override {
        database.Create(path.c_str());
        vaultry::test::CreatePartsTable(database);
    }
    void TearDown() override { FaultInjector::Disarm(); }

    long Count() {
        vaultry::test::CTestPartSet set(&database);
        set.Open();
        return set.GetRecordCount();
    }

    vaultry::test::TempDir dir;
    std::string path = dir.File("faults.zblib");
    CDaoDatabase database;
};

TEST_F(DaoFaultTest, AnIoErrorSurfacesWithItsRealCode) {
    FaultInjector::Arm(FaultInjector::Operation::kWrite, 1, SQLITE_IOERR_WRITE, true);
    try {
        database.Execute("INSERT INTO tParts (strName) VALUES ('x')");
        FAIL();
    } catch (const CDaoException& e) {
        EXPECT_EQ(e.m_pErrorInfo->m_lErrorCode, SQLITE_IOERR_WRITE);
        EXPECT_EQ(e.m_scode, SQLITE_IOERR_WRITE);
    }
    FaultInjector::Disarm();
    EXPECT_EQ(Count(), 0);
}

TEST_F(DaoFaultTest, ATransactionIsKeptWholeOrNotAtAll) {
    {
        DaoTransaction transaction(database);
        database.Execute("INSERT INTO tParts (strName) VALUES ('a')");
        database.Execute("INSERT INTO tParts (strName) VALUES ('b')");
        transaction.Commit();
    }
    EXPECT_EQ(Count(), 2);
    try {
        DaoTransaction transaction(database);
        database.Execute("INSERT INTO tParts (strName) VALUES ('c')");
        FaultInjector::Arm(FaultInjector::Operation::kSync, 1, SQLITE_IOERR_FSYNC, true);
        database.Execute("INSERT INTO tParts (strName) VALUES ('d')");
        transaction.Commit();
        FAIL() << "the commit should not have synced";
    } catch (const CDaoException& e) {
        EXPECT_EQ(e.m_pErrorInfo->m_lErrorCode & 0xFF, SQLITE_IOERR);
    }
    FaultInjector::Disarm();
    CDaoDatabase reopened;
    reopened.Open(path.c_str());
    vaultry::test::CTestPartSet set(&reopened);
    set.Open();
    EXPECT_EQ(set.GetRecordCount(), 2);
}

TEST_F(DaoFaultTest, NestedTransactionsRollBackOnlyTheirOwnWrites) {
    const auto insert = [this](const char* name) {
        database.Execute(
            ("INSERT INTO tParts (strName) VALUES ('" + std::string(name) + "')").c_str());
    };
    DaoTransaction outer(database);
    insert("kept");
    {
        DaoTransaction inner(database);
        insert("dropped");
    }
    // Begun with nothing written between them, nested transactions return to one state: each
    // still undoes its own writes, and the writes of those it holds.
    {
        DaoTransaction middle(database);
        {
            DaoTransaction inner(database);
            insert("dropped");
        }
        insert("kept");
        {
            DaoTransaction inner(database);
            insert("kept");
            inner.Commit();
        }
        middle.Commit();
    }
    {
        DaoTransaction middle(database);
        DaoTransaction inner(database);
        insert("dropped");
        inner.Commit();
    }
    outer.Commit();
    EXPECT_EQ(Count(), 3);
}

TEST_F(DaoFaultTest, AnAllocationFailureIsReportedNotCrashed) {
    vaultry::test::CTestPartSet set(&database);
    set.Add("a", 0);
    FaultInjector::Arm(FaultInjector::Operation::kAllocation, 1, 0, true);
    EXPECT_THROW(database.Execute("INSERT INTO tParts (strName) VALUES ('b')"), CDaoException);
    FaultInjector::Disarm();
    EXPECT_GT(FaultInjector::Count(FaultInjector::Operation::kAllocation), 0);
    EXPECT_EQ(Count(), 1);
}

// Rows added in a nested transaction are undone by deleting them; whatever else it changed, with
// the savepoint set before that change. Both together return to where it began.
TEST_F(DaoFaultTest, AddedRowsAreUndoneAlongWithOtherChanges) {
    const auto names = [this] {
        return database
            .QueryValue(
                "SELECT group_concat(strName) FROM (SELECT strName FROM tParts ORDER BY "
                "lPartID)",
                {})
            .AsText();
    };
    DaoTransaction outer(database);
    database.Execute("INSERT INTO tParts (strName) VALUES ('a')");
    {
        DaoTransaction middle(database);
        {
            DaoTransaction inner(database);
            database.Execute("INSERT INTO tParts (strName) VALUES ('dropped')");
            database.Execute("UPDATE tParts SET strName='changed' WHERE strName='a'");
            database.Execute("INSERT INTO tParts (strName) VALUES ('dropped')");
        }
        EXPECT_EQ(names(), "a");
        database.Execute("INSERT INTO tParts (strName) VALUES ('dropped')");
        database.Execute("DELETE FROM tParts WHERE strName='a'");
    }
    EXPECT_EQ(names(), "a");
    database.Execute("INSERT INTO tParts (strName) VALUES ('b')");
    outer.Commit();
    EXPECT_EQ(names(), "a,b");
    // As Jet's AutoNumber, the number of a row undone by deleting it (2) is not given again; the
    // savepoint took back the later ones.
    EXPECT_EQ(database.QueryValue("SELECT lPartID FROM tParts WHERE strName='b'", {}).AsInt64(), 3);
}

// A statement that adds more than the one row it names (here through a trigger made after it
// was prepared) cannot be undone by deleting that row: the whole transaction is rolled back
// rather than anything of the failed change being kept.
TEST_F(DaoFaultTest, AChangeThatCannotBeUndoneAloneRollsBackTheWholeTransaction) {
    const char* insert = "INSERT INTO tParts (strName) VALUES ('x')";
    database.Execute(insert);
    database.Execute("CREATE TABLE tLog (strName TEXT)");
    database.Execute(
        "CREATE TRIGGER trLog AFTER INSERT ON tParts BEGIN INSERT INTO tLog VALUES "
        "(new.strName); END");
    try {
        DaoTransaction outer(database);
        database.Execute(insert);
        {
            DaoTransaction inner(database);
            database.Execute(insert);
        }
        outer.Commit();
        FAIL() << "the transaction should have been lost";
    } catch (const CDaoException& e) {
        EXPECT_EQ(e.m_scode, SQLITE_ABORT_ROLLBACK);
    }
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(database.QueryValue("SELECT count(*) FROM tLog", {}).AsInt64(), 0);
}

// An upsert is undone by deleting the row it added; one that changed the row it clashed with
// instead cannot be undone alone either.
TEST_F(DaoFaultTest, AnUpsertThatChangedARowRollsBackTheWholeTransaction) {
    database.Execute("CREATE TABLE tKeys (k INTEGER UNIQUE, v INTEGER)");
    database.Execute("INSERT INTO tKeys (k, v) VALUES (1, 1)");
    const auto upsert = [this](long key) {
        database.Execute("INSERT INTO tKeys (k, v) VALUES (?, 2) ON CONFLICT (k) DO UPDATE SET v=2",
                         {COleVariant(key)});
    };
    const auto sum = [this] {
        return database.QueryValue("SELECT sum(v) FROM tKeys", {}).AsInt64();
    };
    DaoTransaction outer(database);
    {
        DaoTransaction inner(database);
        upsert(2);
    }
    EXPECT_EQ(sum(), 1);
    {
        DaoTransaction inner(database);
        upsert(1);
    }
    EXPECT_THROW(outer.Commit(), CDaoException);
    EXPECT_EQ(sum(), 1);
}
