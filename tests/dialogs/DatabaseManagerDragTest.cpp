// The Database Manager's moves between libraries as a user makes them, by command and by drag:
// everything or nothing (a failure midway is told and leaves both libraries as they were),
// categories named by id in their own library only, and drags between two Database Manager
// windows open at once.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "dialogs/CDatabaseManagerDlg.h"
#include "dialogs/CSelectLibraryDestination.h"
#include "resources/VaultryStrings.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/ModalScript.h"
#include "tests/support/StarterLibraries.h"
#include "tests/support/SyntheticDrag.h"

namespace {

using vaultry::dao::FaultInjector;
using vaultry::test::Click;
using vaultry::test::MessageBoxScript;
using vaultry::test::ModalScript;

class DatabaseManagerMoveTest : public vaultry::test::StarterLibraries {
protected:
    // The destination dialog, answered with category `treeID` of `library`.
    static void ExpectDestination(ModalScript& script, CMSAccessDBHandler* library, long treeID) {
        script.Expect(IDD_SELECT_DESTINATION, [library, treeID](CDialog& shown) {
            ASSERT_TRUE(static_cast<CSelectLibraryDestination&>(shown).GetTree().SetObjectTreeID(
                treeID, library->GetDatabaseType()));
            Click(shown, IDC_OK);
        });
    }
    static void Choose(CDatabaseManagerDlg& dialog, CMSAccessDBHandler* library,
                       const std::string& path) {
        ASSERT_TRUE(
            dialog.GetTree().SetObjectTreeID(Category(library, path), library->GetDatabaseType()));
    }
    static HTREEITEM ItemOf(CObjectTreeCtrl& tree, CMSAccessDBHandler* library, long id) {
        for (HTREEITEM item = tree.GetNextItem(nullptr); item; item = tree.GetNextItem(item)) {
            const auto* record = reinterpret_cast<TREE_ITEM_INFO*>(tree.GetItemData(item));
            if (record->lTreeID == id && record->eDatabaseType == library->GetDatabaseType()) {
                return item;
            }
        }
        return nullptr;
    }
    static long PartsIn(CMSAccessDBHandler* library, long id) {
        return LibraryTree(*library).Find(id)->parts;
    }
};

TEST_F(DatabaseManagerMoveTest, AMoveToAnotherLibraryIsWholeOrNothingAndAFailureIsTold) {
    const long corporateTop = LibraryTree(*corporate).Root()->id;
    const auto corporateSize = LibraryTree(*corporate).All().size();
    ModalScript script;
    script.Expect(IDD_DATABASE_MANAGER, [&](CDialog& shown) {
        auto& dialog = static_cast<CDatabaseManagerDlg&>(shown);
        Choose(dialog, user, "Resistors");
        ExpectDestination(script, corporate, corporateTop);
        {
            MessageBoxScript boxes;
            boxes.AllowAny();
            FaultInjector::Arm(FaultInjector::Operation::kWrite, 1, SQLITE_IOERR_WRITE, true);
            dialog.OnCommand(ID_TREE_MOVE);
            FaultInjector::Disarm();
            ASSERT_FALSE(boxes.Shown().empty());
            EXPECT_NE(boxes.Shown().back().find("was not copied"), std::string::npos);
        }
        EXPECT_EQ(LibraryTree(*corporate).All().size(), corporateSize);
        EXPECT_EQ(PartsIn(user, Category(user, "Resistors/SMD")), 2);

        Choose(dialog, user, "Resistors");
        ExpectDestination(script, corporate, corporateTop);
        dialog.OnCommand(ID_TREE_MOVE);
        EXPECT_EQ(Category(user, "Resistors"), -1);
        EXPECT_EQ(user->GetObjectID("R0603", "Footprint"), -1);  // the parts went with it
        EXPECT_EQ(PartsIn(corporate, Category(corporate, "Resistors/SMD")), 2);
        Click(shown, IDC_CANCEL);
    });
    CDatabaseManagerDlg manager;
    manager.DoModal();
}

// Category ids count in their own library: the same number in another library is another
// category, never a reason to refuse or a place to go.
TEST_F(DatabaseManagerMoveTest, ACategoryIsFoundInItsOwnLibraryWhateverItsNumber) {
    const long resistors = Category(user, "Resistors");
    const long qfn = Category(corporate, "QFN");
    ASSERT_EQ(resistors, qfn);  // the starter libraries number them alike
    ModalScript script;
    script.Expect(IDD_DATABASE_MANAGER, [&](CDialog& shown) {
        auto& dialog = static_cast<CDatabaseManagerDlg&>(shown);
        Choose(dialog, user, "Resistors");
        ExpectDestination(script, corporate, qfn);
        dialog.OnCommand(ID_TREE_MOVE);
        EXPECT_EQ(Category(user, "Resistors"), -1);
        EXPECT_NE(Category(corporate, "QFN/Resistors/SMD"), -1);
        Click(shown, IDC_CANCEL);
    });
    CDatabaseManagerDlg manager;
    manager.DoModal();
}

// A second Database Manager opened from the first: a category dragged from its tree lands in
// the first one's tree, which shows it; the second window's tree does not answer for the first.
TEST_F(DatabaseManagerMoveTest, ADragGoesBetweenTwoDatabaseManagerWindows) {
    vaultry::test::SyntheticDrop drop;
    ModalScript script;
    script.Expect(IDD_DATABASE_MANAGER, [&](CDialog& first) {
        auto& target = static_cast<CDatabaseManagerDlg&>(first);
        script.Expect(IDD_DATABASE_MANAGER, [&](CDialog& second) {
            auto& source = static_cast<CDatabaseManagerDlg&>(second);
            const long corporateTop = LibraryTree(*corporate).Root()->id;
            drop.Aim(target.GetTree(), ItemOf(target.GetTree(), corporate, corporateTop),
                     Qt::ControlModifier);
            CObjectTreeCtrl& tree = source.GetTree();
            const HTREEITEM dragged = ItemOf(tree, user, Category(user, "Resistors/SMD"));
            vaultry::test::MouseDrag(qobject_cast<QAbstractItemView*>(tree.Widget()),
                                     vaultry::test::PointOf(tree, dragged));
            EXPECT_EQ(drop.Shown(), DROPEFFECT_COPY);
            Click(second, IDC_CANCEL);
        });
        CDatabaseManagerDlg another;
        another.DoModal();
        const long copied = Category(corporate, "SMD");
        ASSERT_NE(copied, -1);
        EXPECT_EQ(PartsIn(corporate, copied), 2);
        EXPECT_NE(ItemOf(target.GetTree(), corporate, copied), nullptr);
        // The list of the first window shows the copy's parts once it is chosen there.
        Choose(target, corporate, "SMD");
        EXPECT_EQ(target.GetParts().List().GetItemCount(), 2);
        Click(first, IDC_CANCEL);
    });
    CDatabaseManagerDlg manager;
    manager.DoModal();
}

}  // namespace
