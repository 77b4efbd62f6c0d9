// "Insert the selected Item(s) into the database" on the starter libraries with a chip to
// store: the name and category it needs, the overwrite question and the category an
// overwritten part keeps, the rights on a part of someone else, the libraries offered, and the
// library and category remembered for the next time.

#include <gtest/gtest.h>

#include "dialogs/CStoreObjectDlg.h"
#include "host/CDrwGroup.h"
#include "host/FootprintGenerator.h"
#include "resources/VaultryStrings.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/ModalScript.h"
#include "tests/support/StarterLibraries.h"

namespace {

using vaultry::test::Choose;
using vaultry::test::Click;
using vaultry::test::MessageBoxScript;
using vaultry::test::ModalScript;

class StoreObjectTest : public vaultry::test::StarterLibraries {
protected:
    void SetUp() override {
        StarterLibraries::SetUp();
        chip = MakeChipFootprint("", "R1", Millimetres(1.6), Millimetres(0.9), Millimetres(0.95));
    }
    // Runs a new dialog for the chip with `act` done in it.
    INT_PTR Run(const std::function<void(CStoreObjectDlg&)>& act, const char* offered = "") {
        dialog = std::make_unique<CStoreObjectDlg>();
        dialog->Init("Footprint");
        dialog->SetDrawGroup(chip.get());
        dialog->SetDefaultName(offered);
        ModalScript script;
        script.Expect(IDD_STORE_OBJECT,
                      [&](CDialog& shown) { act(static_cast<CStoreObjectDlg&>(shown)); });
        return dialog->DoModal();
    }
    static void Name(CStoreObjectDlg& shown, const char* name) {
        shown.GetParts().NameField().SetWindowText(name);
    }
    static void ChooseCategory(CStoreObjectDlg& shown, CMSAccessDBHandler* library,
                               const std::string& path) {
        ASSERT_TRUE(shown.GetTree().SetObjectTreeID(
            path.empty() ? LibraryTree(*library).Root()->id : Category(library, path),
            library->GetDatabaseType()));
    }
    static bool Enabled(CDynamicWindowWithButtons& bar, UINT command) {
        return bar.IsButtonEnabled(bar.GetButtonNum(command));
    }

    std::unique_ptr<CDrwGroup> chip;
    std::unique_ptr<CStoreObjectDlg> dialog;
};

TEST_F(StoreObjectTest, ANameAndACategoryAreNeededAndTheMessagesNameTheType) {
    EXPECT_EQ(Run([&](CStoreObjectDlg& shown) {
                  MessageBoxScript boxes;
                  boxes.Expect("Please specify a name for this Footprint");
                  Click(shown, IDC_OK);
                  EXPECT_TRUE(shown.IsRunning());
                  Name(shown, "R1206");
                  shown.GetTree().SelectItem(nullptr);
                  boxes.Expect("group has to be selected");
                  Click(shown, IDC_OK);
                  EXPECT_TRUE(shown.IsRunning());
                  EXPECT_TRUE(boxes.Done());
                  Click(shown, IDC_CANCEL);
              }),
              IDCANCEL);
    EXPECT_EQ(chip->GetName() ? chip->GetName()->str() : "", "");  // Cancel names nothing
}

TEST_F(StoreObjectTest, ANewNameClosesWithTheCategoryChosenAndIsRememberedForNextTime) {
    EXPECT_EQ(Run([&](CStoreObjectDlg& shown) {
                  ChooseCategory(shown, user, "Resistors/THT");
                  Name(shown, "R1206");
                  Click(shown, IDC_OK);
              }),
              IDOK);
    EXPECT_EQ(dialog->GetObjectTreeID(), Category(user, "Resistors/THT"));
    EXPECT_EQ(dialog->GetDBType(), DATABASETYPE_USER);
    EXPECT_EQ(dialog->GetObjectDocType(), "Footprint");
    EXPECT_EQ(chip->GetName()->str(), "R1206");

    // The next dialog opens in the library and the category used last, and offers no name of
    // its own: the last one belongs to the part just stored.
    Run([&](CStoreObjectDlg& shown) {
        EXPECT_EQ(shown.GetDatabaseCombo().GetCurSel(), shown.GetDatabaseCombo().GetCount() - 1);
        DATABASETYPE tier = DATABASETYPE_MASTER;
        EXPECT_EQ(shown.GetTree().GetSelectedID(tier), Category(user, "Resistors/THT"));
        EXPECT_EQ(shown.GetParts().NameField().GetWindowText(), "");
        Choose(shown, IDC_TARGET_DATABASE, "Corporate database");
        ChooseCategory(shown, corporate, "QFN");
        Name(shown, "QFN-99");
        Click(shown, IDC_OK);
    });
    Run([&](CStoreObjectDlg& shown) {
        EXPECT_EQ(shown.GetDatabaseCombo().GetWindowText(), "Corporate database");
        DATABASETYPE tier = DATABASETYPE_USER;
        EXPECT_EQ(shown.GetTree().GetSelectedID(tier), Category(corporate, "QFN"));
        EXPECT_EQ(tier, DATABASETYPE_CORPORATE);
        Click(shown, IDC_CANCEL);
    });
}

TEST_F(StoreObjectTest, AnOverwriteIsAskedAndReportsTheCategoryThePartIsIn) {
    EXPECT_EQ(Run(
                  [&](CStoreObjectDlg& shown) {
                      ChooseCategory(shown, user, "Resistors/THT");
                      MessageBoxScript boxes;
                      boxes.Expect("already exists in the database", IDNO);
                      Click(shown, IDC_OK);
                      EXPECT_TRUE(shown.IsRunning());
                      boxes.Expect("Overwrite it?", IDYES);
                      Click(shown, IDC_OK);
                  },
                  "R0603"),
              IDOK);
    EXPECT_EQ(dialog->GetObjectTreeID(), Category(user, "Resistors/SMD"));
    EXPECT_EQ(chip->GetName()->str(), "R0603");
}

TEST_F(StoreObjectTest, APartOfSomeoneElseIsNotOverwrittenAndNoPasswordIsAsked) {
    GiveToProtectedUser(user, "UPDATE tObjects SET lUserID=5 WHERE strObjectName='R0805'");
    EXPECT_EQ(Run(
                  [&](CStoreObjectDlg& shown) {
                      MessageBoxScript boxes;
                      boxes.Expect("you do not have the rights to change it");
                      Click(shown, IDC_OK);  // a password dialog here would fail the script
                      EXPECT_TRUE(boxes.Done());
                      EXPECT_TRUE(shown.IsRunning());
                      Click(shown, IDC_CANCEL);
                  },
                  "R0805"),
              IDCANCEL);
}

TEST_F(StoreObjectTest, TheMasterLibraryIsOfferedOnlyWithLeaveAndTopCategoriesStay) {
    Run([&](CStoreObjectDlg& shown) {
        EXPECT_EQ(shown.GetDatabaseCombo().GetCount(), 2);
        ChooseCategory(shown, user, "");
        EXPECT_TRUE(Enabled(shown.GetTreeBar(), ID_TREE_NEW));
        EXPECT_FALSE(Enabled(shown.GetTreeBar(), ID_TREE_DELETE));
        EXPECT_FALSE(Enabled(shown.GetTreeBar(), ID_TREE_RENAME));
        ChooseCategory(shown, user, "Resistors");
        EXPECT_TRUE(Enabled(shown.GetTreeBar(), ID_TREE_RENAME));
        Click(shown, IDC_CANCEL);
    });
    folder.Host().SetMasterEditAllowed(true);
    Run([&](CStoreObjectDlg& shown) {
        ASSERT_EQ(shown.GetDatabaseCombo().GetCount(), 3);
        Choose(shown, IDC_TARGET_DATABASE, "Norvik Master");
        ChooseCategory(shown, master, "ICs/SOIC");
        EXPECT_EQ(shown.GetParts().List().GetItemCount() > 0, true);
        Click(shown, IDC_CANCEL);
    });
}

}  // namespace
