// The library dialogs opened before the libraries are loaded show nothing and close as asked.

#include <gtest/gtest.h>

#include "dialogs/CDatabaseManagerDlg.h"
#include "dialogs/CSelectObjectDlg.h"
#include "host/BuiltInPlugIns.h"
#include "resources/VaultryStrings.h"
#include "tests/support/LibraryFolder.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/ModalScript.h"

TEST(DialogsWithoutLibrariesTest, OpenEmptyAndClose) {
    vaultry::test::LibraryFolder folder;
    RegisterBuiltInPlugIns();
    vaultry::test::ModalScript script;
    script.Expect(IDD_DATABASE_MANAGER, [](CDialog& shown) {
        auto& manager = static_cast<CDatabaseManagerDlg&>(shown);
        EXPECT_EQ(manager.GetTree().GetCount(), 0);
        EXPECT_EQ(manager.GetParts().List().GetItemCount(), 0);
        vaultry::test::Click(shown, IDC_CANCEL);
    });
    CDatabaseManagerDlg manager;
    EXPECT_EQ(manager.DoModal(), IDCANCEL);
    vaultry::test::MessageBoxScript boxes;
    boxes.Expect("There is no Footprint in this database with that name.");
    script.Expect(IDD_SELECT_OBJECT, [](CDialog& shown) {
        static_cast<CSelectObjectDlg&>(shown).OnOK();  // nothing to take: it says so and stays
        vaultry::test::Click(shown, IDC_CANCEL);
    });
    CSelectObjectDlg select;
    select.Init("Footprint", 12L);
    EXPECT_EQ(select.DoModal(), IDCANCEL);
    EXPECT_EQ(select.GetDrawGroup(), nullptr);
}
