#include <gtest/gtest.h>

#include "access/CDatabaseRegistry.h"
#include "tests/support/LibraryFolder.h"

class CDatabaseRegistryTest : public testing::Test {
protected:
    std::optional<RegistryStore::Value> Stored(const char* key, const char* name) {
        return RegistryStore(folder.Dir().File("registry.reg")).Read(key, name);
    }

    vaultry::test::LibraryFolder folder;
    CDatabaseRegistry registry;
};

TEST_F(CDatabaseRegistryTest, AFreshRegistryReadsZeroAndStoresIt) {
    registry.SetSection("Footprint", "Select part");
    long tier = 99;
    EXPECT_EQ(registry.GetLastLocation(tier), 0);
    EXPECT_EQ(tier, 0);
    const char* key = "Software\\Norvik\\Norvik\\LibManager\\Footprint\\Select part";
    EXPECT_EQ(std::get<unsigned long>(*Stored(key, "LastObjectTreeID")), 0UL);
    EXPECT_EQ(std::get<unsigned long>(*Stored(key, "LastDatabaseType")), 0UL);
    EXPECT_EQ(registry.GetLastObjectName(), "");
    EXPECT_TRUE(Stored(key, "LastObjectName"));
}

TEST_F(CDatabaseRegistryTest, ValuesRoundTripPerSection) {
    registry.SetSection("Footprint", "Store part");
    registry.SetLastLocation(-1, 3);
    registry.SetLastObjectName("R'1");
    registry.SetMustShowSubTreeItems(1);
    CDatabaseRegistry other;
    other.SetSection("Pad-Stack", "Store part");
    long tier = 0;
    EXPECT_EQ(other.GetLastLocation(tier), 0);
    EXPECT_EQ(other.GetMustShowSubTreeItems(), 1);  // the base key is shared
    CDatabaseRegistry same;
    same.SetSection("Footprint", "Store part");
    EXPECT_EQ(same.GetLastLocation(tier), -1);
    EXPECT_EQ(tier, 3);
    EXPECT_EQ(same.GetLastObjectName(), "R'1");
}

TEST_F(CDatabaseRegistryTest, WithoutSettingsReadsDefaultAndWritesNothing) {
    SetSettings(nullptr);
    CDatabaseRegistry orphan;
    orphan.SetLastLocation(5, 2);
    long tier = 7;
    EXPECT_EQ(orphan.GetLastLocation(tier), 0);
    EXPECT_EQ(tier, 0);
    CString path;
    int isV8 = 0;
    EXPECT_FALSE(orphan.GetDatabasePath(path, DATABASETYPE_USER, isV8));
    SetSettings(&folder.Settings());
}
