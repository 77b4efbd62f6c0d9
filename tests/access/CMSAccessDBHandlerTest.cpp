#include <gtest/gtest.h>

#include <fstream>

#include "access/CDatabaseRegistry.h"
#include "access/CMSAccessDBHandler.h"
#include "host/CZBFileDialog.h"
#include "platform/afx/Win32Files.h"
#include "tests/support/LibraryFolder.h"
#include "tests/support/MessageBoxScript.h"

using vaultry::tables::Generation;

class CMSAccessDBHandlerTest : public vaultry::test::LibraryFolderTest {
protected:
    // Opens the user tier after `sql` changed its SYS_INFO; says whether it opened.
    bool OpensAfter(const char* sql) {
        folder.Execute(DATABASETYPE_USER, sql);
        return handler.IsInitialized(DATABASETYPE_USER);
    }

    CMSAccessDBHandler handler{DATABASETYPE_USER, nullptr};
};

INSTANTIATE_TEST_SUITE_P(Engines, CMSAccessDBHandlerTest, vaultry::test::kEveryEngine,
                         vaultry::test::EngineName);

// Cases of library files: their generations, names and places.
class CMSAccessDBHandlerFileTest : public CMSAccessDBHandlerTest {};
INSTANTIATE_TEST_SUITE_P(Files, CMSAccessDBHandlerFileTest, vaultry::test::kFileEngineOnly,
                         vaultry::test::EngineName);

TEST_P(CMSAccessDBHandlerTest, OpensACurrentLibraryAndSetsTheUser) {
    folder.Create(DATABASETYPE_USER);
    EXPECT_EQ(handler.GetUserID(), -1);
    ASSERT_TRUE(handler.IsInitialized(DATABASETYPE_USER));
    EXPECT_EQ(handler.IsV8Batadase(), 1);
    EXPECT_EQ(handler.GetUserID(), 0);
    EXPECT_EQ(handler.GetName(), folder.PathOf(DATABASETYPE_USER).c_str());
    handler.Close();
    EXPECT_EQ(handler.GetUserID(), -1);
    EXPECT_FALSE(handler.IsOpen());
}

TEST_P(CMSAccessDBHandlerTest, VersionsOfAtLeastV8Pass) {
    folder.Create(DATABASETYPE_USER);
    EXPECT_TRUE(OpensAfter("UPDATE SYS_INFO SET Version='V8.0'"));
    handler.Close();
    EXPECT_TRUE(OpensAfter("UPDATE SYS_INFO SET Version='V10'"));
}

TEST_P(CMSAccessDBHandlerTest, OtherVersionsFailWithThePath) {
    folder.Create(DATABASETYPE_USER);
    const std::string expected =
        "Error opening the database. Error Nr : " + folder.PathOf(DATABASETYPE_USER);
    for (const char* sql :
         {"UPDATE SYS_INFO SET Version='V7.9'", "UPDATE SYS_INFO SET Version='v8'",
          "UPDATE SYS_INFO SET Version='V'", "DELETE FROM SYS_INFO", "DROP TABLE SYS_INFO; ",
          "CREATE TABLE SYS_INFO (Version INTEGER)", "INSERT INTO SYS_INFO VALUES (8)"}) {
        vaultry::test::MessageBoxScript boxes;
        boxes.Expect(expected);
        EXPECT_FALSE(OpensAfter(sql)) << sql;
        EXPECT_EQ(handler.IsV8Batadase(), 0);
        EXPECT_FALSE(handler.IsOpen());  // a file that failed the check is not held
        EXPECT_EQ(boxes.Shown().back(), expected);
    }
}

TEST_P(CMSAccessDBHandlerFileTest, AFileOfTheOtherGenerationShowsJetsPasswordMessage) {
    folder.Create(DATABASETYPE_USER, Generation::kOlder);
    vaultry::test::MessageBoxScript boxes;
    boxes.Expect("Not a valid password.");
    EXPECT_FALSE(handler.IsInitialized(DATABASETYPE_USER));
}

TEST_P(CMSAccessDBHandlerFileTest, APathThatDiffersOnlyInCaseIsTheSameFile) {
    folder.Create(DATABASETYPE_USER);
    ASSERT_TRUE(handler.IsInitialized(DATABASETYPE_USER));
    const CString opened = folder.PathOf(DATABASETYPE_USER).c_str();
    folder.Settings().SetUserLibraryPath(CString(opened).MakeUpper());
    EXPECT_TRUE(handler.IsInitialized(DATABASETYPE_USER));
    EXPECT_EQ(handler.GetName(), opened) << "not reopened";

    const std::string other = folder.Dir().File("other.zblib");
    vaultry::tables::LibrarySchema::CreateLibrary(other.c_str(), "User", Generation::kCurrent);
    folder.Settings().SetUserLibraryPath(other.c_str());
    EXPECT_TRUE(handler.IsInitialized(DATABASETYPE_USER));
    EXPECT_EQ(handler.GetName(), other.c_str());
}

TEST_P(CMSAccessDBHandlerFileTest, AMissingCurrentLibraryFailsSilently) {
    vaultry::test::MessageBoxScript boxes;  // no box expected
    EXPECT_FALSE(handler.IsInitialized(DATABASETYPE_USER));
    SetSettings(nullptr);
    EXPECT_FALSE(handler.IsInitialized(DATABASETYPE_USER));
    SetSettings(&folder.Settings());
}

TEST_P(CMSAccessDBHandlerFileTest, AnOlderLibraryOpensAsZblibAfterItsStaleLockGoes) {
    folder.Create(DATABASETYPE_USER, Generation::kOlder);
    const std::string old = folder.Dir().File("user.mdb");
    const std::string lock = folder.Dir().File("user.ldb");
    std::ofstream(old) << "the old file name the settings still carry";
    std::ofstream(lock) << "stale";
    SetFileAttributesA(lock.c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(folder.PathOf(DATABASETYPE_USER).c_str(), FILE_ATTRIBUTE_READONLY);
    const std::string library = folder.PathOf(DATABASETYPE_USER);
    folder.Settings().SetUserLibraryPath(old.c_str());

    ASSERT_TRUE(handler.IsInitialized(DATABASETYPE_USER));
    EXPECT_EQ(handler.IsV8Batadase(), 0);
    EXPECT_EQ(handler.GetName(), library.c_str());
    EXPECT_EQ(GetFileAttributesA(lock.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA(library.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_P(CMSAccessDBHandlerFileTest, AMissingOlderLibraryAsksForItsPath) {
    folder.Create(DATABASETYPE_USER, Generation::kOlder);
    const std::string chosen = folder.Dir().File("user.mdb");
    std::ofstream(chosen) << "old";
    folder.Settings().SetUserLibraryPath(folder.Dir().Path().c_str());

    CString title;
    CString initialFolder;
    CString filter;
    auto previous = CZBFileDialog::SetPresenter([&](CZBFileDialog& dialog) {
        title = dialog.m_strTitle;
        initialFolder = dialog.m_strInitialDir;
        filter = dialog.Filters().at(0).first + "|" + dialog.Filters().at(0).second;
        dialog.SetPathName(chosen.c_str());
        return IDOK;
    });
    {
        vaultry::test::MessageBoxScript boxes;
        boxes.Expect("The database could not be found in the default path");
        EXPECT_TRUE(handler.IsInitialized(DATABASETYPE_USER));
    }
    EXPECT_EQ(title, "Select the USER FootPrint Database file");
    EXPECT_EQ(initialFolder, (folder.Dir().Path().string() + "/").c_str());
    EXPECT_EQ(filter, "Norvik database file (*.zblib)|*.zblib");
    EXPECT_EQ(folder.Settings().GetUserDatabasePath(), chosen.c_str());

    handler.Close();
    folder.Settings().SetUserLibraryPath(folder.Dir().File("gone.mdb").c_str());
    CZBFileDialog::SetPresenter(nullptr);  // Cancel
    {
        vaultry::test::MessageBoxScript boxes;
        boxes.Expect("could not be found");
        EXPECT_FALSE(handler.IsInitialized(DATABASETYPE_USER));
    }
    CZBFileDialog::SetPresenter(previous);
}

TEST_P(CMSAccessDBHandlerTest, TheLastUserIsRememberedOnEveryCloseAndSurvivesOpening) {
    folder.Create(DATABASETYPE_USER);
    const RegistryStore store(folder.Dir().File("registry.reg"));
    const auto lastUser = [&] {
        return std::get<unsigned long>(
            *store.Read("Software\\Norvik\\Norvik\\LibManager", "LastUserID"));
    };
    handler.Close();
    EXPECT_EQ(lastUser(), 0xFFFFFFFFUL);
    ASSERT_TRUE(handler.IsInitialized(DATABASETYPE_USER));
    handler.Close();
    EXPECT_EQ(lastUser(), 0UL);
    // Opening is no closing: the user remembered stays until the next close.
    ASSERT_TRUE(handler.IsInitialized(DATABASETYPE_USER));
    EXPECT_EQ(lastUser(), 0UL);
    handler.Close();
    EXPECT_EQ(lastUser(), 0UL);
}
