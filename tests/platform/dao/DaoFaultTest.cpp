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
