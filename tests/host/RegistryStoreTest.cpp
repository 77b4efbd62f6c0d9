#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "host/CRegistry.h"
#include "host/RegistryStore.h"
#include "tests/support/TempDir.h"

class RegistryStoreTest : public testing::Test {
protected:
    vaultry::test::TempDir dir;
    std::string path = dir.File("registry.reg");
};

TEST_F(RegistryStoreTest, KeysAndValuesSurviveAndIgnoreCase) {
    {
        RegistryStore store(path);
        CRegistry registry(&store);
        EXPECT_FALSE(registry.Open("Software\\Norvik\\LibManager"));
        EXPECT_TRUE(registry.CreateKey("Software\\Norvik\\LibManager\\Footprint\\\\"));
        ASSERT_TRUE(registry.Open("software\\NORVIK\\LibManager\\Footprint"));
        EXPECT_TRUE(registry.Write("LastObjectName", "R\"1\\2\nx"));
        EXPECT_TRUE(registry.Write("LastObjectTreeID", 0xFFFFFFFFUL));
    }
    RegistryStore store(path);
    CRegistry registry(&store);
    ASSERT_TRUE(registry.Open("Software\\Norvik\\LibManager\\Footprint"));
    CString text;
    unsigned long number = 0;
    EXPECT_TRUE(registry.Read("lastobjectname", text));
    EXPECT_EQ(text, "R\"1\\2\nx");
    EXPECT_TRUE(registry.Read("LastObjectTreeID", number));
    EXPECT_EQ(number, 0xFFFFFFFFUL);
    EXPECT_FALSE(registry.Read("LastObjectTreeID", text));  // a number is not a text
    EXPECT_FALSE(registry.Read("Missing", number));
    EXPECT_TRUE(registry.Open("Software\\Norvik"));  // parents exist too
    registry.ReOpenBaseKey(0, 0);
    EXPECT_FALSE(registry.Write("Nowhere", 1UL));  // no key open
}

TEST_F(RegistryStoreTest, AValueWrittenAgainUnchangedLeavesTheFileAlone) {
    RegistryStore store(path);
    ASSERT_TRUE(store.Write("Software\\Norvik", "LastUserID", 0UL));
    const auto inode = [this] {
        struct stat status {};
        return ::stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
    };
    const auto before = inode();
    EXPECT_TRUE(store.Write("software\\norvik", "lastuserid", 0UL));
    EXPECT_EQ(inode(), before);  // not replaced
    EXPECT_TRUE(store.Write("Software\\Norvik", "LastUserID", 1UL));
    EXPECT_NE(inode(), before);
    EXPECT_EQ(std::get<unsigned long>(*store.Read("Software\\Norvik", "LastUserID")), 1UL);
}

TEST_F(RegistryStoreTest, DamagedLinesAreSkippedAndAStaleTemporaryIsIgnored) {
    std::ofstream(path) << "Windows Registry Editor Version 5.00\n\n[A\\B]\n"
                           "\"Good\"=dword:0000002a\n\"Bad\"=dword:zz\n\"Broken\n=\n"
                           "\"Text\"=\"unterminated\n";
    std::ofstream(path + ".tmp") << "[A\\B]\n\"Good\"=dword:00000001\n";  // a write cut short
    RegistryStore store(path);
    const auto good = store.Read("A\\B", "Good");
    ASSERT_TRUE(good);
    EXPECT_EQ(std::get<unsigned long>(*good), 42UL);
    EXPECT_FALSE(store.Read("A\\B", "Bad"));
    EXPECT_FALSE(store.Read("A\\B", "Text"));
    EXPECT_TRUE(store.Write("A\\B", "Next", 7UL));
    EXPECT_EQ(std::get<unsigned long>(*store.Read("A\\B", "Good")), 42UL);
}

TEST_F(RegistryStoreTest, TwoProcessesWritingAtOnceLoseNothing) {
    constexpr int kWrites = 40;
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = fork();
        ASSERT_GE(children[child], 0);
        if (children[child] == 0) {
            RegistryStore store(path);
            bool ok = true;
            for (int i = 0; i < kWrites; ++i) {
                ok = store.Write("Key",
                                 CString("P") + std::to_string(child).c_str() + "_" +
                                     std::to_string(i).c_str(),
                                 static_cast<unsigned long>(i)) &&
                     ok;
            }
            _exit(ok ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    RegistryStore store(path);
    for (int child = 0; child < 2; ++child) {
        for (int i = 0; i < kWrites; ++i) {
            EXPECT_TRUE(store.Read("Key", CString("P") + std::to_string(child).c_str() + "_" +
                                              std::to_string(i).c_str()))
                << child << " " << i;
        }
    }
}
