#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

#include "host/ReferenceHost.h"
#include "tests/support/TempDir.h"

class ReferenceHostTest : public testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_DATA_HOME", dir.File("data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
        unsetenv("VAULTRY_CONFIG");
    }
    vaultry::test::TempDir dir;
};

TEST_F(ReferenceHostTest, DefaultsLiveInTheXdgFolders) {
    ReferenceHost host;
    EXPECT_EQ(GetSettings(), &host.Settings());
    EXPECT_EQ(host.ConfigPath(), dir.File("config/vaultry/settings.ini"));
    EXPECT_EQ(host.Settings().GetMasterLibraryPath(),
              dir.File("data/vaultry/master.zblib").c_str());
    EXPECT_EQ(host.Settings().GetUserDatabasePath(), dir.File("data/vaultry/user.zblib").c_str());
    EXPECT_FALSE(host.Settings().MayEditMaster());
    EXPECT_NE(host.Settings().GetStatusBar(), nullptr);
}

TEST_F(ReferenceHostTest, SettingsFileChoosesLibrariesAndPermissions) {
    const std::string config = dir.File("my.ini");
    std::ofstream(config) << "; comment\n[libraries]\nmaster = m.zblib\nuser = /abs/u.zblib\n"
                             "folder = /srv/norvik\n[host]\nmaster_edit = yes\n"
                             "tree_attributes = true\nbase_key = Software\\Test\n";
    setenv("VAULTRY_CONFIG", config.c_str(), 1);
    {
        ReferenceHost host;
        EXPECT_EQ(host.Settings().GetMasterLibraryPath(), "/srv/norvik/m.zblib");
        EXPECT_EQ(host.Settings().GetCorporateLibraryPath(), "/srv/norvik/corporate.zblib");
        EXPECT_EQ(host.Settings().GetUserDatabasePath(), "/abs/u.zblib");
        EXPECT_TRUE(host.Settings().MayEditMaster());
        EXPECT_TRUE(host.Settings().GetTreeAttributesEnabled());
        EXPECT_EQ(host.Settings().GetBaseRegistryPath(false, true), "Software\\Test");
        host.SetMasterEditAllowed(false);
        EXPECT_FALSE(host.Settings().MayEditMaster());
    }
    EXPECT_EQ(GetSettings(), nullptr);
}

TEST_F(ReferenceHostTest, MalformedSettingsNameTheLine) {
    const std::string config = dir.File("bad.ini");
    std::ofstream(config) << "[host]\nmaster_edit = perhaps\n";
    try {
        ReferenceHost host(config);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("bad.ini:2"), std::string::npos) << e.what();
    }
    std::ofstream(config) << "[libraries]\nmastr = x\n";
    EXPECT_THROW(ReferenceHost{config}, std::runtime_error);
    std::ofstream(config) << "just text\n";
    EXPECT_THROW(ReferenceHost{config}, std::runtime_error);
}
