// Controls made before the libraries are loaded, as a dialog may make them: they show nothing,
// refuse what needs a library, and work once the libraries are there.

#include <gtest/gtest.h>

#include "access/LibrarySet.h"
#include "controls/CObjectComboBox.h"
#include "controls/CObjectTreeCtrl.h"
#include "controls/CObjectTypeComboBox.h"
#include "host/BuiltInPlugIns.h"
#include "platform/ui/CDialog.h"
#include "tests/support/LibraryFolder.h"

TEST(ControlsWithoutLibrariesTest, ShowNothingUntilTheLibrariesAreLoaded) {
    vaultry::test::LibraryFolder folder;
    folder.CreateAll();
    RegisterBuiltInPlugIns();
    EnsureUiApplication();
    CObjectTreeCtrl tree;
    CObjectComboBox parts;
    CObjectTypeComboBox types;
    ASSERT_TRUE(tree.Create(CRect{0, 0, 200, 200}, nullptr, false));
    ASSERT_TRUE(parts.Create(CRect{0, 0, 200, 200}, nullptr, 6050));
    ASSERT_TRUE(types.Create(CRect{0, 0, 200, 24}, nullptr));

    EXPECT_FALSE(tree.Init(-1, DATABASETYPE_USER));
    EXPECT_EQ(tree.GetCount(), 0);
    EXPECT_FALSE(tree.HasRights());
    EXPECT_FALSE(tree.AddChild("New"));
    EXPECT_FALSE(tree.TestForTreeRightsAndCancel(1, DATABASETYPE_USER));
    CString filter = "untouched";
    DATABASETYPE type = DATABASETYPE_USER;
    EXPECT_FALSE(tree.GetStringOfIDs(filter, 1, type));
    EXPECT_EQ(filter, "untouched");
    parts.m_strDocTypeFilter = "Footprint";
    parts.FillList("", static_cast<DATABASETYPE>(0));
    EXPECT_EQ(parts.List().GetItemCount(), 0);
    EXPECT_EQ(parts.GetRSObjects(DATABASETYPE_USER), nullptr);
    long id = 0;
    parts.SetObjectName("R0603");
    EXPECT_FALSE(parts.GetSelectedObjectID(id, type));
    parts.SelectObject(1, DATABASETYPE_USER);
    EXPECT_TRUE(types.Init(DATABASETYPE_USER, "Footprint"));
    EXPECT_EQ(types.GetCount(), 0);

    ASSERT_TRUE(AssureDBLoaded());
    EXPECT_TRUE(tree.Init(-1, DATABASETYPE_USER));
    EXPECT_EQ(tree.GetCount(), 3);
    EXPECT_TRUE(tree.HasRights());
    EXPECT_NE(parts.GetRSObjects(DATABASETYPE_USER), nullptr);
    EXPECT_TRUE(types.Init(DATABASETYPE_USER, "Footprint"));
    EXPECT_EQ(types.GetCount(), 4);
    UnloadDB();
    EXPECT_EQ(tree.GetRSObjectTree(DATABASETYPE_USER), nullptr);
    EXPECT_EQ(parts.GetRSObjects(DATABASETYPE_USER), nullptr);
    EXPECT_FALSE(tree.HasRights());
}
