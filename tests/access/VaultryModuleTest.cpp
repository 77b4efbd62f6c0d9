// The module's resources: texts under the ids the dialogs and the host ask for, as written, and
// templates that name real controls.

#include <gtest/gtest.h>

#include <set>

#include "host/ResourceStrings.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"

namespace {

CString Text(UINT id) {
    return GetResourceString(VaultryModuleInstance(), id);
}

TEST(VaultryModuleTest, TextsKeepTheirIdsBlanksAndLineBreaks) {
    EXPECT_EQ(Text(57415), "Norvik Master");
    EXPECT_EQ(Text(57416), "Corporate database");
    EXPECT_EQ(Text(57417), "User");
    EXPECT_EQ(Text(57389), "Are you sure you want to delete this part  : ");
    EXPECT_EQ(Text(57400), "A %1 with that name already exists in the database.\n\nOverwrite it?");
    EXPECT_EQ(Text(57361), "A %1group has to be selected \nin the tree before continuing");
    EXPECT_EQ(CString(Text(57354)).Left(46), "This action will remove the selected category\n");
    EXPECT_EQ(Text(16021), "Cannot copy to destination selected.");
    EXPECT_EQ(Text(IDS_PASSWORD_MISMATCH),
              "The Password in the confirmation field does NOT match the one in the password "
              "field, please try again.");
}

TEST(VaultryModuleTest, EveryTemplateHasOkCancelAndDistinctControlIds) {
    for (const UINT id : {IDD_USER_PASSWORD, IDD_ASK_LIB_PASSWORD}) {
        const CDialogTemplate* layout = VaultryModuleInstance()->FindDialog(id);
        ASSERT_NE(layout, nullptr) << id;
        std::set<UINT> ids;
        for (const DialogControl& control : layout->controls) {
            EXPECT_LE(control.x + control.width, layout->width) << id << "/" << control.id;
            EXPECT_LE(control.y + control.height, layout->height) << id << "/" << control.id;
            if (control.id != IDC_STATIC) {
                EXPECT_TRUE(ids.insert(control.id).second) << id << " repeats " << control.id;
            }
        }
        EXPECT_TRUE(ids.count(IDC_OK) && ids.count(IDC_CANCEL)) << id;
        EXPECT_EQ(layout->helpId, HelpIdOf(id));
    }
}

}  // namespace
