#include <gtest/gtest.h>

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "access/ModuleAttachment.h"
#include "host/CZBFileDialog.h"
#include "resources/VaultryModule.h"
#include "tests/support/LibraryFolder.h"
#include "tests/support/MessageBoxScript.h"

class LibrarySetTest : public vaultry::test::LibraryFolderTest {};

INSTANTIATE_TEST_SUITE_P(Engines, LibrarySetTest, vaultry::test::kEveryEngine,
                         vaultry::test::EngineName);

TEST_P(LibrarySetTest, TiersAreReachedByNumberAndUnknownOnesGiveTheMaster) {
    EXPECT_EQ(GetAccessDB(DATABASETYPE_MASTER), nullptr);
    folder.CreateAll();
    ASSERT_TRUE(AssureDBLoaded());
    CMSAccessDBHandler* master = GetAccessDB(DATABASETYPE_MASTER);
    EXPECT_EQ(GetAccessDB(static_cast<DATABASETYPE>(0)), master);
    EXPECT_EQ(GetAccessDB(static_cast<DATABASETYPE>(7)), master);
    EXPECT_EQ(GetAccessDB(DATABASETYPE_CORPORATE)->GetDatabaseType(), DATABASETYPE_CORPORATE);
    EXPECT_EQ(GetAccessDB(DATABASETYPE_USER)->GetName(), folder.PathOf(DATABASETYPE_USER).c_str());
    EXPECT_TRUE(AssureDBLoaded());
    EXPECT_EQ(GetAccessDB(DATABASETYPE_MASTER), master);  // nothing made twice

    UnloadDB();
    EXPECT_EQ(GetAccessDB(DATABASETYPE_USER), nullptr);
    ASSERT_TRUE(AssureDBLoaded());
    EXPECT_TRUE(GetAccessDB(DATABASETYPE_USER)->IsOpen());
    VaultryDetachModule();
    EXPECT_EQ(GetAccessDB(DATABASETYPE_MASTER), nullptr);
    UnloadDB();  // nothing left to do
}

TEST_P(LibrarySetTest, AFailingMasterStopsTheTiersAfterIt) {
    folder.Create(DATABASETYPE_CORPORATE);
    folder.Create(DATABASETYPE_USER);
    EXPECT_FALSE(AssureDBLoaded());
    ASSERT_NE(GetAccessDB(DATABASETYPE_CORPORATE), nullptr);
    EXPECT_FALSE(GetAccessDB(DATABASETYPE_CORPORATE)->IsOpen());
    EXPECT_FALSE(GetAccessDB(DATABASETYPE_USER)->IsOpen());

    folder.Create(DATABASETYPE_MASTER);
    EXPECT_TRUE(AssureDBLoaded());  // a later call tries again from the master on
}

class LibrarySetFileTest : public testing::Test {
protected:
    vaultry::test::LibraryFolder folder;
};

TEST_F(LibrarySetFileTest, AnOlderMasterWhoseDialogIsCancelledStopsAtOnce) {
    folder.Settings().SetMasterLibraryPath(folder.Dir().File("master.mdb").c_str());
    folder.Create(DATABASETYPE_CORPORATE);
    folder.Create(DATABASETYPE_USER);
    vaultry::test::MessageBoxScript boxes;
    boxes.Expect("could not be found");
    auto previous = CZBFileDialog::SetPresenter(nullptr);
    EXPECT_FALSE(AssureDBLoaded());
    EXPECT_FALSE(GetAccessDB(DATABASETYPE_CORPORATE)->IsOpen());
    CZBFileDialog::SetPresenter(previous);
}
