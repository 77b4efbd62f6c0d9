// The two password dialogs driven headless as a user would: typing, choosing a tier, OK and
// Cancel, on real libraries.

#include <gtest/gtest.h>

#include <QComboBox>

#include "access/ui/PasswordDialogs.h"
#include "host/HostHelp.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"
#include "tables/CRSUserTree.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/ModalScript.h"
#include "tests/support/OpenLibraries.h"

namespace {

using vaultry::test::Choose;
using vaultry::test::Click;
using vaultry::test::ModalScript;
using vaultry::test::Press;
using vaultry::test::TypeInto;

class PasswordDialogsTest : public vaultry::test::OpenLibraries {
protected:
    void SetUp() override {
        OpenLibraries::SetUp();
        EnsureUiApplication();
    }

    static std::vector<std::string> Tiers(CDialog& dialog) {
        auto* combo =
            qobject_cast<QComboBox*>(dialog.GetDlgItem(IDC_SELECT_DATABASE_CMB)->Widget());
        std::vector<std::string> items;
        for (int i = 0; i < combo->count(); ++i) {
            items.push_back(combo->itemText(i).toStdString());
        }
        return items;
    }

    static CString Password(DATABASETYPE tier) {
        return GetAccessDB(tier)->GetRSUserTree()->GetUserPassword(0);
    }
};

TEST_F(PasswordDialogsTest, AMismatchKeepsTheDialogOpenAndOkWritesTheChosenTier) {
    ModalScript script;
    vaultry::test::MessageBoxScript boxes;
    boxes.Expect(
        "The Password in the confirmation field does NOT match the one in the password "
        "field, please try again.");
    script.Expect(IDD_USER_PASSWORD, [](CDialog& dialog) {
        EXPECT_EQ(dialog.GetWindowText(), "Please enter your password");
        EXPECT_EQ(Tiers(dialog), (std::vector<std::string>{"Corporate database", "User"}));
        auto& password = static_cast<CUserPasswordDlg&>(dialog);
        CString selected;
        password.m_cmbSelectDatabase.GetLBText(password.m_cmbSelectDatabase.GetCurSel(), selected);
        EXPECT_EQ(selected, "Corporate database");
        Choose(dialog, IDC_SELECT_DATABASE_CMB, "User");
        TypeInto(dialog, IDC_PASSWORD, "Secret");
        TypeInto(dialog, IDC_PASSWORD_CONFIRMATION, "secret");
        Click(dialog, IDC_OK);
        EXPECT_TRUE(dialog.IsRunning());
        EXPECT_EQ(CWnd::GetFocus(), dialog.GetDlgItem(IDC_PASSWORD));
        TypeInto(dialog, IDC_PASSWORD_CONFIRMATION, "Secret");
        Press(dialog, Qt::Key_Return);
    });
    CUserPasswordDlg dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(boxes.Done());
    EXPECT_EQ(dialog.m_nDatabaseType, DATABASETYPE_USER);
    EXPECT_EQ(Password(DATABASETYPE_USER), "Secret");
    EXPECT_EQ(Password(DATABASETYPE_CORPORATE), "");
}

TEST_F(PasswordDialogsTest, TheMasterTierIsOfferedOnlyWithThePermission) {
    folder.Host().SetMasterEditAllowed(true);
    ModalScript script;
    script.Expect(IDD_USER_PASSWORD, [](CDialog& dialog) {
        EXPECT_EQ(Tiers(dialog),
                  (std::vector<std::string>{"Corporate database", "Norvik Master", "User"}));
        Choose(dialog, IDC_SELECT_DATABASE_CMB, "Norvik Master");
        TypeInto(dialog, IDC_PASSWORD, "M");
        TypeInto(dialog, IDC_PASSWORD_CONFIRMATION, "M");
        Click(dialog, IDC_OK);
    });
    script.Expect(IDD_USER_PASSWORD, [](CDialog& dialog) {
        TypeInto(dialog, IDC_PASSWORD, "never");
        TypeInto(dialog, IDC_PASSWORD_CONFIRMATION, "never");
        Click(dialog, IDC_CANCEL);
    });
    CUserPasswordDlg master;
    EXPECT_EQ(master.DoModal(), IDOK);
    EXPECT_EQ(Password(DATABASETYPE_MASTER), "M");
    CUserPasswordDlg cancelled;
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_EQ(Password(DATABASETYPE_CORPORATE), "");
}

TEST_F(PasswordDialogsTest, ATypedPasswordGrantsRightsUntilTheHandlerCloses) {
    user->GetRSUserTree()->SetUserPassword(0, "Secret");
    EXPECT_FALSE(user->HasRightsOn(0));
    ModalScript script;
    script.Expect(IDD_ASK_LIB_PASSWORD, [](CDialog& dialog) {
        EXPECT_EQ(dialog.GetWindowText(), "Give the password for this database");
        EXPECT_EQ(dialog.GetDlgItem(IDC_DATABASE_NAME)->GetWindowText(), "User");
        TypeInto(dialog, IDC_LIB_PASSWORD, "SECRET");
        Click(dialog, IDC_OK);
    });
    script.Expect(IDD_ASK_LIB_PASSWORD, [](CDialog& dialog) {
        TypeInto(dialog, IDC_LIB_PASSWORD, "Secret");
        Press(dialog, Qt::Key_F1);
        Click(dialog, IDC_OK);
    });
    CAskLibPassword wrongCase;
    wrongCase.m_nDatabaseType = DATABASETYPE_USER;
    EXPECT_EQ(wrongCase.DoModal(), IDOK);
    EXPECT_FALSE(user->HasRightsOn(0));  // the same letters in another case do not count
    CAskLibPassword right;
    right.m_nDatabaseType = DATABASETYPE_USER;
    EXPECT_EQ(right.DoModal(), IDOK);
    EXPECT_TRUE(user->HasRightsOn(0));
    EXPECT_EQ(GetHelpContext().module, VaultryModuleInstance());
    EXPECT_EQ(GetHelpContext().helpId, HelpIdOf(IDD_ASK_LIB_PASSWORD));

    user->Close();
    ASSERT_TRUE(user->IsInitialized(DATABASETYPE_USER));
    EXPECT_FALSE(user->HasRightsOn(0));  // gone with the handler
}

TEST_F(PasswordDialogsTest, CancelLeavesTheTypedPasswordAndTheResourceModuleAsTheyWere) {
    const CResourceModule host("Host", {});
    AfxSetResourceHandle(&host);
    ModalScript script;
    script.Expect(IDD_ASK_LIB_PASSWORD, [](CDialog& dialog) {
        EXPECT_EQ(dialog.GetDlgItem(IDC_DATABASE_NAME)->GetWindowText(), "Norvik Master");
        EXPECT_EQ(AfxGetResourceHandle(), VaultryModuleInstance());
        TypeInto(dialog, IDC_LIB_PASSWORD, "typed");
        Press(dialog, Qt::Key_Escape);
    });
    CAskLibPassword dialog;
    dialog.m_nDatabaseType = DATABASETYPE_MASTER;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(GetAccessDB(DATABASETYPE_MASTER)->GetRSUserTree()->m_strEnteredPassword, "");
    EXPECT_EQ(AfxGetResourceHandle(), &host);
    AfxSetResourceHandle(nullptr);
}

TEST_F(PasswordDialogsTest, SetNewPasswordOpensOnTheStoredPasswordAndChangesTheChosenTierOnly) {
    InstallPasswordDialogs();
    user->GetRSUserTree()->SetUserPassword(0, "old");
    ModalScript script;
    for (const char* tier : {"User", "Corporate database"}) {
        script.Expect(IDD_USER_PASSWORD, [tier](CDialog& dialog) {
            EXPECT_EQ(static_cast<CUserPasswordDlg&>(dialog).m_strPassword, "old");
            EXPECT_EQ(dialog.GetDlgItem(IDC_PASSWORD_CONFIRMATION)->GetWindowText(), "old");
            Choose(dialog, IDC_SELECT_DATABASE_CMB, tier);
            TypeInto(dialog, IDC_PASSWORD, "new");
            TypeInto(dialog, IDC_PASSWORD_CONFIRMATION, "new");
            Click(dialog, IDC_OK);
        });
    }
    user->SetNewPassword();
    EXPECT_EQ(Password(DATABASETYPE_USER), "new");
    user->GetRSUserTree()->SetUserPassword(0, "old");
    user->SetNewPassword();
    EXPECT_EQ(Password(DATABASETYPE_CORPORATE), "new");
    EXPECT_EQ(Password(DATABASETYPE_USER), "old");  // the asking tier is not written too
    CMSAccessDBHandler::SetNewPasswordDialog(nullptr);
}

}  // namespace
