// The new part's type list and the destination dialog on the starter libraries: what they
// offer, what OK takes, and the rights a destination needs.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QTest>

#include "dialogs/CNewLibraryPart.h"
#include "dialogs/CSelectLibraryDestination.h"
#include "host/BuiltInPlugIns.h"
#include "host/CPlugInManager.h"
#include "resources/VaultryStrings.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/ModalScript.h"
#include "tests/support/StarterLibraries.h"

namespace {

using vaultry::test::Click;
using vaultry::test::MessageBoxScript;
using vaultry::test::ModalScript;
using vaultry::test::TypeInto;

class SmallDialogsTest : public vaultry::test::StarterLibraries {
protected:
    static void DoubleClickRow(CListCtrl& list, int row) {
        auto* view = qobject_cast<QAbstractItemView*>(list.Widget());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {},
                           view->visualRect(list.Model().index(row, 0)).center());
    }
    static bool Enabled(CDynamicWindowWithButtons& bar, UINT command) {
        return bar.IsButtonEnabled(bar.GetButtonNum(command));
    }
};

TEST_F(SmallDialogsTest, TheNewPartDialogOffersEveryServedTypeAndTakesTheOneChosen) {
    CNewLibraryPart dialog;
    ModalScript script;
    script.Expect(IDD_NEW_PART, [](CDialog& shown) {
        auto& types = static_cast<CNewLibraryPart&>(shown);
        ASSERT_EQ(types.GetList().GetItemCount(), 3);
        EXPECT_EQ(types.GetList().GetItemText(2), "Footprint");  // met first, listed last
        Click(shown, IDC_OK);                                    // nothing chosen yet
        EXPECT_TRUE(shown.IsRunning());
        DoubleClickRow(types.GetList(), 2);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_strDocType, "Footprint");

    GetPlugInManager()->RemoveAll();
    CNewLibraryPart empty;
    script.Expect(IDD_NEW_PART, [](CDialog& shown) {
        EXPECT_EQ(static_cast<CNewLibraryPart&>(shown).GetList().GetItemCount(), 0);
        Click(shown, IDC_OK);
        Click(shown, IDC_CANCEL);
    });
    EXPECT_EQ(empty.DoModal(), IDCANCEL);
    RegisterBuiltInPlugIns();
}

TEST_F(SmallDialogsTest, ADestinationIsACategoryTheUserMayChange) {
    CSelectLibraryDestination dialog;
    ModalScript script;
    script.Expect(IDD_SELECT_DESTINATION, [&](CDialog& shown) {
        auto& destination = static_cast<CSelectLibraryDestination&>(shown);
        ASSERT_TRUE(destination.GetTree().SetObjectTreeID(LibraryTree(*user).Root()->id,
                                                          DATABASETYPE_USER));
        EXPECT_TRUE(Enabled(destination.GetBar(), ID_TREE_NEW));  // a top category: only New
        EXPECT_FALSE(Enabled(destination.GetBar(), ID_TREE_DELETE));
        EXPECT_FALSE(Enabled(destination.GetBar(), ID_TREE_RENAME));
        ASSERT_TRUE(destination.GetTree().SetObjectTreeID(Category(master, "ICs/SOIC"),
                                                          DATABASETYPE_MASTER));
        EXPECT_TRUE(Enabled(destination.GetBar(), ID_TREE_RENAME));
        MessageBoxScript boxes;
        boxes.Expect("master");
        Click(shown, IDC_OK);  // the master library is locked: said at once
        EXPECT_TRUE(shown.IsRunning());
        EXPECT_TRUE(boxes.Done());
        ASSERT_TRUE(destination.GetTree().SetObjectTreeID(Category(user, "Resistors/THT"),
                                                          DATABASETYPE_USER));
        Click(shown, IDC_OK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_lSelectedID, Category(user, "Resistors/THT"));
    EXPECT_EQ(dialog.m_eDatabaseType, DATABASETYPE_USER);
}

TEST_F(SmallDialogsTest, AProtectedDestinationTakesItsPasswordFirst) {
    ProtectCurrentUser(user, "secret");
    CSelectLibraryDestination dialog;
    ModalScript script;
    script.Expect(IDD_SELECT_DESTINATION, [&](CDialog& shown) {
        auto& destination = static_cast<CSelectLibraryDestination&>(shown);
        ASSERT_TRUE(destination.GetTree().SetObjectTreeID(Category(user, "Resistors/SMD"),
                                                          DATABASETYPE_USER));
        script.Expect(IDD_ASK_LIB_PASSWORD, [](CDialog& asked) { Click(asked, IDC_CANCEL); });
        Click(shown, IDC_OK);
        EXPECT_TRUE(shown.IsRunning());
        script.Expect(IDD_ASK_LIB_PASSWORD, [](CDialog& asked) {
            TypeInto(asked, IDC_LIB_PASSWORD, "secret");
            Click(asked, IDC_OK);
        });
        Click(shown, IDC_OK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_lSelectedID, Category(user, "Resistors/SMD"));
}

}  // namespace
