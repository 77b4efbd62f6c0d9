// "Add new parts to database" on the starter libraries with a design of chip footprints: the
// selection as one named part, the design's parts ticked in the check list, names that clash
// in the target category or elsewhere in its library, the target library and its category,
// the master library offered or not, and the target's password.

#include <gtest/gtest.h>

#include <QAbstractButton>

#include "dialogs/CStoreObjectsDlg.h"
#include "host/CDrwGroup.h"
#include "host/CDrwObList.h"
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
using vaultry::test::TypeInto;

std::unique_ptr<CDrwGroup> Chip(const char* name) {
    return MakeChipFootprint(name, "R1", Millimetres(1.6), Millimetres(0.9), Millimetres(0.95));
}

class StoreObjectsTest : public vaultry::test::StarterLibraries {
protected:
    void SetUp() override {
        StarterLibraries::SetUp();
        for (const char* name : {"R0603", "R2010", "R2512"}) {  // R0603 is in the user library
            design.Add(Chip(name).release());
        }
        dialog.SetDocType("Footprint");
        dialog.SetObjectTreeID(Category(user, "Resistors/SMD"), DATABASETYPE_USER);
        dialog.SetObjectList(&design);
    }
    INT_PTR Run(const std::function<void(CStoreObjectsDlg&)>& act) {
        ModalScript script;
        script.Expect(IDD_STORE_OBJECTS,
                      [&](CDialog& shown) { act(static_cast<CStoreObjectsDlg&>(shown)); });
        return dialog.DoModal();
    }
    static long TopOf(CMSAccessDBHandler* library) { return LibraryTree(*library).Root()->id; }
    static bool Enabled(CStoreObjectsDlg& shown, UINT id) {
        return shown.GetDlgItem(id)->IsWindowEnabled() != FALSE;
    }
    static std::vector<std::string> Listed(CStoreObjectsDlg& shown) {
        std::vector<std::string> names;
        for (int i = 0; i < shown.GetParts().List().GetItemCount(); ++i) {
            names.push_back(shown.GetParts().List().GetItemText(i).str());
        }
        return names;
    }

    CDrwObList design;
    CStoreObjectsDlg dialog;
};

TEST_F(StoreObjectsTest, TheSelectionGoesAsOnePartUnderAFreeName) {
    auto selection = Chip("R0603");
    dialog.SetDrawGroup(selection.get());
    MessageBoxScript boxes;
    boxes.Expect("Cannot add object without a name");
    boxes.Expect("The specified name already exists");  // in the target category
    boxes.Expect("The specified name already exists");  // elsewhere in the user library
    const INT_PTR result = Run([&](CStoreObjectsDlg& shown) {
        EXPECT_TRUE(Enabled(shown, IDC_CURRENT_SELECTION));
        EXPECT_FALSE(shown.GetCheckBar().IsWindowVisible());
        // The name proposed narrows the category's parts to those that clash with it.
        EXPECT_EQ(shown.GetParts().NameField().GetWindowText(), "R0603");
        EXPECT_EQ(Listed(shown), std::vector<std::string>{"R0603"});
        EXPECT_EQ(shown.GetPreview().GetObjectCount(), 1);
        shown.GetParts().NameField().SetWindowText("");
        EXPECT_EQ(Listed(shown), (std::vector<std::string>{"R0603", "R0805"}));
        EXPECT_EQ(shown.GetParts().NameField().GetWindowText(), "");
        shown.OnOK();
        shown.GetParts().SetObjectName("R0603");
        shown.OnOK();
        user->Execute("UPDATE tObjects SET strObjectName='R1206' WHERE strObjectName='R0805'");
        user->Execute("UPDATE tObjects SET lObjectTreeID=1 WHERE strObjectName='R1206'");
        shown.GetParts().SetObjectName("r1206");
        shown.OnOK();
        EXPECT_TRUE(shown.IsRunning());
        shown.GetParts().SetObjectName("R0603-HS");
        shown.OnOK();
    });
    EXPECT_TRUE(boxes.Done());
    ASSERT_EQ(result, IDOK);
    EXPECT_TRUE(dialog.IsSingleStore());
    EXPECT_EQ(*selection->GetName(), "R0603-HS");
    EXPECT_EQ(dialog.GetDBType(), DATABASETYPE_USER);
    EXPECT_EQ(dialog.GetObjectTreeID(), Category(user, "Resistors/SMD"));
}

TEST_F(StoreObjectsTest, WithoutASelectionTheTickedPartsOfTheDesignGo) {
    const INT_PTR result = Run([&](CStoreObjectsDlg& shown) {
        EXPECT_FALSE(Enabled(shown, IDC_CURRENT_SELECTION));
        EXPECT_FALSE(Enabled(shown, IDC_DESIGN_CONTENTS));
        EXPECT_FALSE(shown.GetPartBar().IsWindowVisible());
        CObjectCheckListBox& list = shown.GetCheckList();
        ASSERT_EQ(list.GetCount(), 3);
        EXPECT_EQ(list.GetCheckCount(), 3);  // "Copy of R0603" is free
        list.SetCheck(1, 0);                 // R2010
        Click(shown, IDC_OK);
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_FALSE(dialog.IsSingleStore());
    const CDrwObList* ticked = dialog.GetObjectList();
    ASSERT_EQ(ticked->GetCount(), 2);
    EXPECT_EQ(*ticked->GetAt(0)->GetName(), "Copy of R0603");
    EXPECT_EQ(ticked->GetAt(0), design.GetAt(0));  // the design's own object
    EXPECT_EQ(*ticked->GetAt(1)->GetName(), "R2512");
}

TEST_F(StoreObjectsTest, NothingTickedIsExplainedOnOkAndOnOpeningOnlyForTheDesignsParts) {
    user->Execute("UPDATE tObjects SET strObjectName='Copy of R0603' WHERE strObjectName='R0805'");
    design.DestroyContent();
    design.Add(Chip("R0603").release());
    {
        // With the selection offered, the design's taken names are no reason for a message.
        auto selection = Chip("NEW");
        dialog.SetDrawGroup(selection.get());
        MessageBoxScript none;
        Run([&](CStoreObjectsDlg& shown) { Click(shown, IDC_CANCEL); });
        dialog.SetDrawGroup(nullptr);
    }
    MessageBoxScript boxes;
    boxes.Expect("There were components with the same name found for all components");
    boxes.Expect("1. Change the part name (highlight and right-click or press F2).\n2. Select");
    Run([&](CStoreObjectsDlg& shown) {
        EXPECT_EQ(shown.GetCheckList().GetCheckCount(), 0);
        Click(shown, IDC_OK);
        EXPECT_TRUE(shown.IsRunning());
        Click(shown, IDC_CANCEL);
    });
    EXPECT_TRUE(boxes.Done());
}

// Another target library: its names count, its parts are listed, and the category is one of
// its own (its top here), not the number of the category chosen in the other library.
TEST_F(StoreObjectsTest, AnotherTargetLibraryBringsItsOwnNamesAndCategory) {
    MessageBoxScript boxes;
    const INT_PTR result = Run([&](CStoreObjectsDlg& shown) {
        EXPECT_EQ(shown.GetDlgItem(IDC_TARGET_DATABASE)->Widget()->property("count").toInt(), 2);
        Choose(shown, IDC_TARGET_DATABASE, "Corporate database");
        EXPECT_EQ(shown.GetDBType(), DATABASETYPE_CORPORATE);
        EXPECT_EQ(shown.GetObjectTreeID(), TopOf(corporate));
        EXPECT_EQ(Listed(shown).size(), 3u);  // the QFN parts below the top
        CString first;
        shown.GetCheckList().GetText(0, first);
        EXPECT_EQ(first, "R0603");  // free in the corporate library
        Click(shown, IDC_OK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.GetObjectList()->GetCount(), 3);
}

TEST_F(StoreObjectsTest, TheMasterLibraryIsOfferedOnlyWithThePermission) {
    folder.Host().SetMasterEditAllowed(true);
    dialog.SetObjectTreeID(Category(master, "Resistors/SMD"), DATABASETYPE_MASTER);
    Run([&](CStoreObjectsDlg& shown) {
        EXPECT_EQ(shown.GetDlgItem(IDC_TARGET_DATABASE)->Widget()->property("count").toInt(), 3);
        EXPECT_EQ(shown.GetDBType(), DATABASETYPE_MASTER);
        Click(shown, IDC_CANCEL);
    });
    folder.Host().SetMasterEditAllowed(false);
    CStoreObjectsDlg locked;
    locked.SetDocType("Footprint");
    locked.SetObjectTreeID(Category(master, "Resistors/SMD"), DATABASETYPE_MASTER);
    locked.SetObjectList(&design);
    ModalScript script;
    script.Expect(IDD_STORE_OBJECTS, [&](CDialog& shown) {
        auto& store = static_cast<CStoreObjectsDlg&>(shown);
        EXPECT_EQ(store.GetDBType(), DATABASETYPE_USER);  // the master is not offered
        EXPECT_EQ(store.GetObjectTreeID(), TopOf(user));
        Click(shown, IDC_CANCEL);
    });
    locked.DoModal();
}

TEST_F(StoreObjectsTest, AProtectedTargetAsksForItsPasswordAndAWrongOneKeepsTheDialog) {
    ProtectCurrentUser(user, "secret");
    MessageBoxScript boxes;
    boxes.Expect("No rights: the library password is missing or wrong.");
    ModalScript script;
    const auto password = [&](const char* typed) {
        script.Expect(IDD_ASK_LIB_PASSWORD, [typed](CDialog& asked) {
            TypeInto(asked, IDC_LIB_PASSWORD, typed);
            Click(asked, IDC_OK);
        });
    };
    script.Expect(IDD_STORE_OBJECTS, [&](CDialog& shown) {
        script.Expect(IDD_ASK_LIB_PASSWORD, [](CDialog& asked) { Click(asked, IDC_CANCEL); });
        Click(shown, IDC_OK);
        password("wrong");
        Click(shown, IDC_OK);
        EXPECT_TRUE(shown.IsRunning());
        password("secret");
        Click(shown, IDC_OK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(boxes.Done());
}

}  // namespace
