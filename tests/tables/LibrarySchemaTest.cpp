#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>

#include "platform/dao/CDaoDatabase.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/CDaoRecordset.h"
#include "platform/dao/FaultInjector.h"
#include "tables/LibraryExaminer.h"
#include "tables/LibrarySchema.h"
#include "tests/support/TempDir.h"

using namespace vaultry::tables;

class LibrarySchemaTest : public testing::Test {
protected:
    vaultry::test::TempDir dir;
    std::string path = dir.File("lib.zblib");
};

TEST_F(LibrarySchemaTest, NewLibraryHasRootCategoryOwnerAndVersion) {
    LibrarySchema::CreateLibrary(path.c_str(), "User", Generation::kCurrent);
    CDaoDatabase database;
    database.Open(path.c_str(), FALSE, FALSE, LibrarySchema::ConnectString(Generation::kCurrent));
    CDaoRecordset tree(&database);
    tree.Open(dbOpenDynaset, "SELECT tObjectTree.* FROM tObjectTree");
    EXPECT_EQ(tree.GetFieldValue("strName").AsText(), "User");
    EXPECT_EQ(tree.GetFieldValue("lLevel").AsInt64(), 0);
    EXPECT_EQ(tree.GetFieldValue("lParentID").AsInt64(), tree.GetFieldValue("lTreeID").AsInt64());
    CDaoRecordset users(&database);
    users.Open(dbOpenDynaset, "SELECT * FROM tUserTree");
    EXPECT_EQ(users.GetFieldValue("lUserID").AsInt64(), 0);
    EXPECT_EQ(users.GetFieldValue("strPassword").AsText(), "");
    EXPECT_NE(users.GetFieldValue("bMayWrite").AsInt64(), 0);

    const LibraryReport report = LibraryExaminer::Inspect(path.c_str());
    EXPECT_EQ(report.generation, Generation::kCurrent);
    EXPECT_EQ(report.version, "V8");
    ASSERT_EQ(report.rowCounts.size(), 6u);
    EXPECT_EQ(report.rowCounts[0].first, "tObjects");
    EXPECT_EQ(report.rowCounts[2].second, 1);
}

TEST_F(LibrarySchemaTest, OlderGenerationHasItsOwnPassword) {
    LibrarySchema::CreateLibrary(path.c_str(), "Norvik Master", Generation::kOlder);
    CDaoDatabase database;
    EXPECT_THROW(database.Open(path.c_str(), FALSE, FALSE,
                               LibrarySchema::ConnectString(Generation::kCurrent)),
                 CDaoException);
    EXPECT_EQ(LibraryExaminer::Inspect(path.c_str()).generation, Generation::kOlder);
}

TEST_F(LibrarySchemaTest, UnusableFilesGetAOneLineReason) {
    auto reason = [](const std::string& file) -> std::string {
        try {
            LibraryExaminer::Inspect(file.c_str());
        } catch (const UnusableLibrary& e) {
            return e.what();
        }
        return "";
    };
    CDaoDatabase foreign;
    foreign.Create(path.c_str(), ";LANGID=0x0409;pwd=other");
    foreign.Close();
    EXPECT_NE(reason(path).find("wrong password"), std::string::npos);

    const std::string partial = dir.File("partial.zblib");
    LibrarySchema::CreateLibrary(partial.c_str(), "User", Generation::kCurrent);
    CDaoDatabase database;
    database.Open(partial.c_str(), FALSE, FALSE,
                  LibrarySchema::ConnectString(Generation::kCurrent));
    database.DeleteTableDef("tBlobs");
    database.Close();
    EXPECT_EQ(reason(partial), "missing table tBlobs");

    const std::string text = dir.File("text.zblib");
    std::ofstream(text) << std::string(200, 'x');
    EXPECT_EQ(reason(text), "file is not a database");
    EXPECT_NE(reason(dir.File("none.zblib")).find("unable to open"), std::string::npos);
}

TEST_F(LibrarySchemaTest, FailedCreationLeavesNoFile) {
    vaultry::dao::FaultInjector::Install();
    vaultry::dao::FaultInjector::Arm(vaultry::dao::FaultInjector::Operation::kWrite, 3,
                                     SQLITE_IOERR_WRITE, true);
    EXPECT_THROW(LibrarySchema::CreateLibrary(path.c_str(), "User", Generation::kCurrent),
                 CDaoException);
    vaultry::dao::FaultInjector::Disarm();
    EXPECT_FALSE(std::filesystem::exists(path));
    LibrarySchema::CreateLibrary(path.c_str(), "User", Generation::kCurrent);
    EXPECT_EQ(LibraryExaminer::Inspect(path.c_str()).version, "V8");
}
