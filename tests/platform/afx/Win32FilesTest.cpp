#include <gtest/gtest.h>

#include <fstream>

#include "platform/afx/Win32Files.h"
#include "tests/support/TempDir.h"

TEST(Win32FilesTest, ReadOnlyAttributeRoundTrips) {
    vaultry::test::TempDir dir;
    const std::string file = dir.File("lib.ldb");
    std::ofstream(file) << "lock";
    EXPECT_EQ(GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_NE(GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_NE(GetFileAttributesA(dir.Path().c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(GetFileAttributesA(dir.File("missing").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(SetFileAttributesA(dir.File("missing").c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_FALSE(AfxGetLogonUserName().IsEmpty());
}
