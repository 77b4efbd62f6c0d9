#include <gtest/gtest.h>

#include <fstream>

#include "host/CPathString.h"
#include "host/DatabaseFiles.h"
#include "tests/support/TempDir.h"

TEST(DatabaseFilesTest, OnlyZblibNamesAreCurrentGeneration) {
    EXPECT_EQ(IsV8DatadaseFileName("/lib/master.zblib"), 1);
    EXPECT_EQ(IsV8DatadaseFileName("/lib/MASTER.ZBLIB"), 1);
    EXPECT_EQ(IsV8DatadaseFileName("/lib/master.mdb"), 0);
    EXPECT_EQ(IsV8DatadaseFileName("/lib.zblib/master"), 0);
    EXPECT_EQ(IsV8DatadaseFileName(""), 0);
    EXPECT_EQ(IsV8DatadaseFileName(nullptr), 0);
}

TEST(DatabaseFilesTest, MissingFilesAreLookedForInTheFolder) {
    vaultry::test::TempDir dir;
    std::ofstream(dir.File("user.zblib")) << "x";
    CString present = dir.File("user.zblib").c_str();
    EXPECT_EQ(CheckDBFileExist(present, ""), 1);
    CString relative = "user.zblib";
    EXPECT_EQ(CheckDBFileExist(relative, dir.Path().c_str()), 1);
    EXPECT_EQ(relative, dir.File("user.zblib").c_str());
    CString moved = "/old/place/user.zblib";
    EXPECT_EQ(CheckDBFileExist(moved, dir.Path().c_str()), 1);
    EXPECT_EQ(moved, dir.File("user.zblib").c_str());
    CString missing = "/old/place/master.zblib";
    EXPECT_EQ(CheckDBFileExist(missing, dir.Path().c_str()), 0);
    EXPECT_EQ(missing, "/old/place/master.zblib");
    CString empty;
    EXPECT_EQ(CheckDBFileExist(empty, dir.Path().c_str()), 0);
}

TEST(DatabaseFilesTest, PathStringChangesExtensionsAndTerminates) {
    CPathString path("/lib/v7/master.mdb");
    path.SetExt(".ldb");
    EXPECT_EQ(path, "/lib/v7/master.ldb");
    CPathString noExtension("/lib.d/master");
    noExtension.SetExt(".zblib");
    EXPECT_EQ(noExtension, "/lib.d/master.zblib");
    CPathString hidden("/lib/.hidden");
    hidden.SetExt(".zblib");
    EXPECT_EQ(hidden, "/lib/.hidden.zblib");
    CPathString folder("/lib");
    folder.SetPathTerminator();
    folder.SetPathTerminator();
    EXPECT_EQ(folder, "/lib/");
    EXPECT_TRUE(CPathString("/").IsPath());
    EXPECT_FALSE(CPathString("/").FileExists());
}
