// The current user of a tier and the rights rule, through the handler as callers use them.

#include "tables/CRSObjects.h"
#include "tables/CRSUserTree.h"
#include "tests/support/OpenLibraries.h"

class UserRightsTest : public vaultry::test::OnEngine<vaultry::test::OpenLibraries> {
protected:
    CRSUserTree& users() { return *user->GetRSUserTree(); }
};

INSTANTIATE_TEST_SUITE_P(Engines, UserRightsTest, vaultry::test::kEveryEngine,
                         vaultry::test::EngineName);

TEST_P(UserRightsTest, OwnPartsNeedTheTypedPasswordExactly) {
    EXPECT_TRUE(user->HasRightsOn(0));  // no password yet
    users().SetUserPassword(0, "Secret");
    EXPECT_TRUE(users().HasPassword(0));
    EXPECT_FALSE(user->HasRightsOn(0));
    users().m_strEnteredPassword = "secret";
    EXPECT_FALSE(user->HasRightsOn(0));
    users().m_strEnteredPassword = "Secret";
    EXPECT_TRUE(user->HasRightsOn(0));

    user->Close();  // the typed password goes with the session
    ASSERT_TRUE(user->IsInitialized(DATABASETYPE_USER));
    EXPECT_FALSE(user->HasRightsOn(0));
    user->GetRSUserTree()->SetUserPassword(0, "");
    EXPECT_FALSE(user->GetRSUserTree()->HasPassword(0));
    EXPECT_TRUE(user->HasRightsOn(0));
}

TEST_P(UserRightsTest, OtherUsersPartsAreOpenExactlyWhenTheyHaveNoPassword) {
    EXPECT_TRUE(user->HasRightsOn(5));  // no such user
    user->Execute(
        "INSERT INTO tUserTree (lUserID, strUserName, strPassword, bMayWrite) "
        "VALUES (5, 'Five', '', 0)");
    users().Requery();  // a dynaset sees rows added outside it after a requery
    EXPECT_TRUE(user->HasRightsOn(5));
    users().SetUserPassword(5, "five");
    users().m_strEnteredPassword = "five";  // no typed password opens another user's items
    EXPECT_FALSE(user->HasRightsOn(5));
    EXPECT_EQ(users().GetUserPassword(5), "five");
    EXPECT_EQ(users().GetUserPassword(6), "");
    EXPECT_FALSE(users().MayWrite(5));
    EXPECT_TRUE(users().MayWrite(0));

    user->SetUserID(7, false);  // a current user without a row has no rights of its own
    EXPECT_FALSE(user->HasRightsOn(7));
}

TEST_P(UserRightsTest, TheFirstUserIsTheSmallestIdAndZeroWhenThereIsNone) {
    user->Execute("INSERT INTO tUserTree (lUserID, strUserName, bMayWrite) VALUES (-3, 'Low', 1)");
    EXPECT_EQ(users().GetFirstUserID(), -3);
    user->Close();
    ASSERT_TRUE(user->IsInitialized(DATABASETYPE_USER));
    EXPECT_EQ(user->GetUserID(), -3);
    user->Execute("DELETE FROM tUserTree");
    EXPECT_EQ(users().GetFirstUserID(), 0);
    user->Close();
    ASSERT_TRUE(user->IsInitialized(DATABASETYPE_USER));
    EXPECT_EQ(user->GetUserID(), 0);
    EXPECT_EQ(user->GetRSObjects()->m_lObjectID, 0);
}

TEST_P(UserRightsTest, NewPasswordOpensTheDialogOnTheCurrentPasswordAndLeavesTheWritingToIt) {
    users().SetUserPassword(0, "old");
    CString shown;
    auto previous = CMSAccessDBHandler::SetNewPasswordDialog([&](const CString& password) {
        shown = password;
        return IDOK;
    });
    user->SetNewPassword();
    EXPECT_EQ(shown, "old");
    EXPECT_EQ(users().GetUserPassword(0), "old");  // the dialog writes; this one wrote nothing
    CMSAccessDBHandler::SetNewPasswordDialog(previous);
}
