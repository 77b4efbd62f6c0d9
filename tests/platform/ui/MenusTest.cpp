// Menus as the dialogs use them: loaded from the current module, grayed, checked and taken
// apart before they are shown, the chosen command reaching the owner window, and the Qt menu
// they show as.

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include "platform/afx/CResourceModule.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CMenu.h"
#include "tests/support/CommandRecorder.h"

namespace {

enum : UINT { kMenu = 700, kNew = 801, kDelete = 802, kWide = 803, kNarrow = 804 };

const CResourceModule& Module() {
    static const CResourceModule module(
        "menus", {}, {}, {},
        {{kMenu,
          {{{"Object",
             {{kNew, "&New...", "Create new part"}, {}, {kDelete, "&Delete", "Delete it"}}},
            {"DIMENSIONS", {{kWide, "Wide"}, {kNarrow, "Narrow"}}}}}}});
    return module;
}

class MenusTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureUiApplication();
        previousModule = AfxGetResourceHandle();
        AfxSetResourceHandle(&Module());
    }
    void TearDown() override {
        AfxSetResourceHandle(previousModule);
        CMenu::SetPopupRunner({});
    }
    HINSTANCE previousModule = nullptr;
};

TEST_F(MenusTest, AMenuIsLoadedFromTheCurrentModuleAndChangedBeforeItShows) {
    CMenu menu;
    EXPECT_FALSE(menu.LoadMenu(kMenu + 1));
    ASSERT_TRUE(menu.LoadMenu(kMenu));
    ASSERT_EQ(menu.GetMenuItemCount(), 2);
    CMenu* object = menu.GetSubMenu(0);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->GetMenuItemCount(), 3);
    EXPECT_EQ(object->GetMenuItemID(0), kNew);
    EXPECT_EQ(object->GetMenuItemID(1), 0u);  // the separator
    EXPECT_EQ(menu.GetMenuItemID(0), static_cast<UINT>(-1));
    // Commands are found through the popups of a menu bar.
    EXPECT_EQ(menu.EnableMenuItem(kDelete, MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(object->GetMenuState(kDelete, MF_BYCOMMAND), MF_GRAYED);
    EXPECT_EQ(object->CheckMenuItem(0, MF_BYPOSITION | MF_CHECKED), MF_UNCHECKED);
    EXPECT_EQ(object->GetMenuState(kNew, MF_BYCOMMAND), MF_CHECKED);
    EXPECT_EQ(menu.EnableMenuItem(999, MF_GRAYED), static_cast<UINT>(-1));
    // A popup taken out of its bar stays usable, as the dimension menu is tracked alone.
    CMenu* dimensions = menu.GetSubMenu(1);
    ASSERT_TRUE(menu.RemoveMenu(1, MF_BYPOSITION));
    EXPECT_EQ(menu.GetMenuItemCount(), 1);
    EXPECT_EQ(dimensions->GetMenuItemID(1), kNarrow);
}

TEST_F(MenusTest, TheChosenCommandReachesTheOwnerOrIsReturned) {
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(kMenu));
    vaultry::test::CommandRecorder owner;
    CPoint shownAt;
    CMenu::SetPopupRunner([&](const CMenu& shown, CPoint at) {
        shownAt = at;
        return shown.GetMenuItemID(2);
    });
    EXPECT_TRUE(menu.GetSubMenu(0)->TrackPopupMenu(TPM_RIGHTBUTTON, 40, 60, &owner));
    EXPECT_EQ(owner.commands, std::vector<UINT>{kDelete});
    EXPECT_EQ(shownAt.x, 40);
    EXPECT_EQ(menu.GetSubMenu(0)->TrackPopupMenu(TPM_RETURNCMD, 0, 0, &owner), kDelete);
    EXPECT_EQ(owner.commands.size(), 1u);
    CMenu::SetPopupRunner([](const CMenu&, CPoint) { return 0u; });
    EXPECT_FALSE(menu.GetSubMenu(0)->TrackPopupMenu(0, 0, 0, &owner));
    EXPECT_EQ(owner.commands.size(), 1u);
}

TEST_F(MenusTest, TheQtMenuCarriesTextsStatesAndCommands) {
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(kMenu));
    CMenu& object = *menu.GetSubMenu(0);
    object.EnableMenuItem(kDelete, MF_GRAYED);
    object.CheckMenuItem(kNew, MF_CHECKED);
    const std::unique_ptr<QMenu> shown = object.MakeQMenu(nullptr);
    const QList<QAction*> actions = shown->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), "&New...");
    EXPECT_EQ(actions[0]->statusTip(), "Create new part");
    EXPECT_TRUE(actions[0]->isChecked());
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_FALSE(actions[2]->isEnabled());
    EXPECT_EQ(actions[2]->data().toUInt(), kDelete);
}

}  // namespace
