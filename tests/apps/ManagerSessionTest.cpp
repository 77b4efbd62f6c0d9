// The desktop program's start on libraries that cannot all be opened: one message box that
// names the file, says what is wrong with it and what to do.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "apps/vaultry-manager/ManagerSession.h"
#include "apps/vaultry/Session.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/TempDir.h"

TEST(ManagerSessionTest, ALibraryThatCannotOpenIsToldInOneBoxThatNamesTheFile) {
    vaultry::test::TempDir dir;
    const std::string settings = dir.File("settings.ini");
    std::ofstream(settings) << "[libraries]\nfolder = " << dir.Path().string() << "\n";
    const std::string master = dir.File("master.zblib");
    std::ofstream(master).close();  // emptied, as a full disk or a bad copy leaves a file
    vaultry::test::MessageBoxScript boxes;
    boxes.AllowAny();
    EXPECT_THROW(vaultry::manager::ManagerSession(settings, false), vaultry::cli::CommandError);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown().front(),
              "The master library " + master +
                  ": an empty file, not a library; restore it from a backup, or move it away and "
                  "run \"vaultry init\" to make a new one.");
}
