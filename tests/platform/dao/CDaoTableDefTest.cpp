#include <gtest/gtest.h>

#include "platform/dao/CDaoDatabase.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/CDaoTableDef.h"
#include "tests/support/Engines.h"

class CDaoTableDefTest : public vaultry::test::EngineTest {};

INSTANTIATE_TEST_SUITE_P(Engines, CDaoTableDefTest, vaultry::test::kEveryEngine,
                         vaultry::test::EngineName);

TEST_P(CDaoTableDefTest, CreatesOpensAndDeletesTables) {
    CDaoDatabase database;
    database.Create(NewLocation("t.zblib").c_str());
    CDaoTableDef table(&database);
    table.Create("tObjectTreeCache");
    table.CreateField("lTreeID", dbLong, 4);
    table.CreateField("lCache0", dbLong, 4);
    table.Append();
    table.Close();

    CDaoTableDef opened(&database);
    opened.Open("TOBJECTTREECACHE");
    EXPECT_TRUE(opened.IsOpen());
    EXPECT_EQ(opened.GetName().CompareNoCase("tObjectTreeCache"), 0);
    EXPECT_EQ(opened.GetFieldCount(), 2);
    opened.Close();
    database.DeleteTableDef("tObjectTreeCache");

    CDaoTableDef missing(&database);
    try {
        missing.Open("tObjectTreeCache");
        FAIL();
    } catch (const CDaoException& e) {
        EXPECT_EQ(e.m_pErrorInfo->m_lErrorCode, JET_ERROR_ITEM_NOT_FOUND);
    }
    EXPECT_FALSE(missing.IsOpen());
}
