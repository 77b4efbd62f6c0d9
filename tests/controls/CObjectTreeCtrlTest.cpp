// The category tree on real libraries: what it draws and in which order, the part filter of a
// category, categories added, renamed and removed in place with the rights they need, a damaged
// tree, a failing file, and the view kept around a redraw.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "access/ui/PasswordDialogs.h"
#include "controls/CObjectComboBox.h"
#include "controls/CObjectTreeCtrl.h"
#include "platform/ui/TreeItemModel.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/ModalScript.h"
#include "tests/support/StarterLibraries.h"

namespace {

using vaultry::dao::FaultInjector;
using vaultry::test::FinishLabelEdit;
using vaultry::test::MessageBoxScript;
using vaultry::test::ModalScript;

// The tree as the drag and drop code sees it, which redraws it keeping the view.
class RedrawnTree : public CObjectTreeCtrl {
public:
    void Redraw() {
        StoreTreeSettings();
        RemoveAllItems();
        DrawTree();
        RestoreTreeSettings();
    }
};

class CObjectTreeCtrlTest : public vaultry::test::StarterLibraries {
protected:
    void SetUp() override {
        StarterLibraries::SetUp();
        tree.Create(CRect{0, 0, 300, 300}, &window, false);
        tester = std::make_unique<QAbstractItemModelTester>(
            &tree.Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    }

    std::vector<std::string> TopTexts() {
        std::vector<std::string> texts;
        for (HTREEITEM item = tree.GetRootItem(); item; item = tree.GetNextSiblingItem(item)) {
            texts.push_back(tree.GetItemText(item).str());
        }
        return texts;
    }
    std::vector<std::string> ChildTexts(HTREEITEM parent) {
        std::vector<std::string> texts;
        for (HTREEITEM item = tree.GetChildItem(parent); item;
             item = tree.GetNextSiblingItem(item)) {
            texts.push_back(tree.GetItemText(item).str());
        }
        return texts;
    }
    bool Select(long treeID, DATABASETYPE type) { return tree.SetObjectTreeID(treeID, type); }
    CString Filter(int withSubTree) {
        CString filter = "untouched";
        DATABASETYPE type = DATABASETYPE_USER;
        tree.GetStringOfIDs(filter, withSubTree, type);
        return filter;
    }

    RedrawnTree tree;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

TEST_F(CObjectTreeCtrlTest, AllLibrariesShowUserThenCorporateThenMasterEachInNameOrder) {
    ASSERT_TRUE(tree.Init(-1, DATABASETYPE_USER));
    EXPECT_EQ(TopTexts(),
              (std::vector<std::string>{"User", "Corporate database", "Norvik Master"}));
    EXPECT_TRUE(tree.IsTopMostSelected());
    DATABASETYPE type = DATABASETYPE_MASTER;
    EXPECT_EQ(tree.GetSelectedID(type), 1);
    EXPECT_EQ(type, DATABASETYPE_USER);
    HTREEITEM masterTop = tree.GetNextSiblingItem(tree.GetNextSiblingItem(tree.GetRootItem()));
    EXPECT_EQ(ChildTexts(masterTop),
              (std::vector<std::string>{"Capacitors", "Connectors", "ICs", "Power", "Resistors",
                                        "Transistors"}));
    int items = 0;
    for (HTREEITEM item = tree.GetNextItem(nullptr); item; item = tree.GetNextItem(item)) {
        ++items;
    }
    EXPECT_EQ(items, tree.GetCount());
    const auto all = [](CMSAccessDBHandler* library) {
        return static_cast<int>(LibraryTree(*library, LibraryTree::Counts::kNone).All().size());
    };
    EXPECT_EQ(items, all(user) + all(corporate) + all(master));
}

TEST_F(CObjectTreeCtrlTest, OneLibraryOrACopyTargetShowsOnlyWhatMayBeShown) {
    tree.SetDatabaseTypeForShow(DATABASETYPE_CORPORATE);
    ASSERT_TRUE(tree.Init(-1, DATABASETYPE_USER));
    EXPECT_EQ(TopTexts(), (std::vector<std::string>{"Corporate database"}));

    tree.SetDatabaseTypeForShow(static_cast<DATABASETYPE>(0));
    tree.SetIsCopyTarget(true);
    ASSERT_TRUE(tree.Init(-1, DATABASETYPE_USER));
    EXPECT_EQ(TopTexts(), (std::vector<std::string>{"User", "Corporate database"}));
    folder.Host().SetMasterEditAllowed(true);
    ASSERT_TRUE(tree.Init(-1, DATABASETYPE_USER));
    EXPECT_EQ(TopTexts().size(), 3u);
}

TEST_F(CObjectTreeCtrlTest, InitSelectsTheCategoryAskedForOrElseTheFirstTop) {
    const long qfn = Category(master, "ICs/QFN");
    ASSERT_TRUE(tree.Init(qfn, DATABASETYPE_MASTER));
    DATABASETYPE type = DATABASETYPE_USER;
    EXPECT_EQ(tree.GetSelectedID(type), qfn);
    EXPECT_EQ(type, DATABASETYPE_MASTER);
    EXPECT_EQ(tree.GetItemText(tree.GetSelectedItem()), "QFN");
    for (const auto& [id, tier] :
         {std::pair{9999L, DATABASETYPE_MASTER}, std::pair{qfn, static_cast<DATABASETYPE>(0)}}) {
        ASSERT_TRUE(tree.Init(id, tier));
        EXPECT_EQ(tree.GetSelectedItem(), tree.GetRootItem());
    }
    // The same id in another library is another category.
    EXPECT_TRUE(Select(qfn, DATABASETYPE_MASTER));
    EXPECT_FALSE(Select(qfn, DATABASETYPE_USER));
}

TEST_F(CObjectTreeCtrlTest, TheFilterHoldsTheCategoryAndItsSubTreeInTheTreesOrder) {
    ASSERT_TRUE(tree.Init(-1, DATABASETYPE_USER));
    tree.SelectItem(nullptr);
    EXPECT_EQ(Filter(1), "untouched");
    const long ics = Category(master, "ICs");
    ASSERT_TRUE(Select(ics, DATABASETYPE_MASTER));
    CString expected;
    expected.Format("lObjectTreeID IN(%ld,%ld,%ld,%ld,%ld)", ics, Category(master, "ICs/DIP"),
                    Category(master, "ICs/QFN"), Category(master, "ICs/SOIC"),
                    Category(master, "ICs/TSSOP"));
    EXPECT_EQ(Filter(1), expected);
    expected.Format("lObjectTreeID IN(%ld)", ics);
    EXPECT_EQ(Filter(0), expected);
}

TEST_F(CObjectTreeCtrlTest, ACircleOfParentsIsDrawnWalkedOnceAndReported) {
    const long smd = Category(user, "Resistors/SMD");
    const long tht = Category(user, "Resistors/THT");
    CString sql;
    sql.Format("UPDATE tObjectTree SET lParentID=%ld WHERE lTreeID=%ld", tht, smd);
    user->Execute(sql);
    sql.Format("UPDATE tObjectTree SET lParentID=%ld WHERE lTreeID=%ld", smd, tht);
    user->Execute(sql);
    ASSERT_TRUE(tree.Init(smd, DATABASETYPE_USER));
    MessageBoxScript boxes;
    boxes.Expect("The category tree of this library is damaged");
    CString expected;
    expected.Format("lObjectTreeID IN(%ld,%ld)", smd, tht);
    EXPECT_EQ(Filter(1), expected);
    EXPECT_TRUE(boxes.Done());
}

TEST_F(CObjectTreeCtrlTest, ALabelEditRenamesTheCategoryUnlessTheNameIsEmptyOrTaken) {
    ASSERT_TRUE(tree.Init(Category(user, "Resistors/THT"), DATABASETYPE_USER));
    HTREEITEM tht = tree.GetSelectedItem();
    ASSERT_TRUE(tree.Rename(nullptr));
    FinishLabelEdit(tree, "Axial");
    EXPECT_EQ(tree.GetItemText(tht), "Axial");
    EXPECT_EQ(ChildTexts(tree.GetParentItem(tht)), (std::vector<std::string>{"Axial", "SMD"}));
    EXPECT_GT(Category(user, "Resistors/Axial"), 0);

    MessageBoxScript boxes;
    boxes.Expect("Please enter a valid name.").Expect("smd");
    for (const char* refused : {"", "smd"}) {
        ASSERT_TRUE(tree.Rename(tht));
        FinishLabelEdit(tree, refused);
        EXPECT_EQ(tree.GetItemText(tht), "Axial");
    }
    EXPECT_TRUE(boxes.Done());
    EXPECT_GT(Category(user, "Resistors/Axial"), 0);
}

TEST_F(CObjectTreeCtrlTest, ReturnAndEscapeEndALabelEditAndNeverReachTheDialog) {
    QDialog dialog;
    auto* ok = new QPushButton("OK", &dialog);
    ok->setDefault(true);
    CWnd host;
    host.Attach(&dialog);
    CObjectTreeCtrl inDialog;
    inDialog.Create(CRect{0, 0, 300, 300}, &host, false);
    dialog.show();
    ASSERT_TRUE(inDialog.Init(Category(user, "Resistors/THT"), DATABASETYPE_USER));
    const auto editor = [&] {
        QLineEdit* open = nullptr;
        for (QLineEdit* line : inDialog.Widget()->findChildren<QLineEdit*>()) {
            open = line->isVisible() ? line : open;
        }
        return open;
    };
    ASSERT_TRUE(inDialog.Rename(nullptr));
    ASSERT_NE(editor(), nullptr);
    editor()->setText("Through-hole");
    QTest::keyClick(editor(), Qt::Key_Escape);
    EXPECT_FALSE(inDialog.IsEditing());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(inDialog.GetItemText(inDialog.GetSelectedItem()), "THT");
    ASSERT_TRUE(inDialog.Rename(nullptr));
    editor()->setText("Through-hole");
    QTest::keyClick(editor(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_FALSE(inDialog.IsEditing());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_GT(Category(user, "Resistors/Through-hole"), 0);
    host.Detach();
}

TEST_F(CObjectTreeCtrlTest, ATopCategoryOrAReadOnlyTreeIsNeverEdited) {
    ASSERT_TRUE(tree.Init(-1, DATABASETYPE_USER));
    EXPECT_TRUE(tree.HasRights());
    EXPECT_FALSE(tree.Rename(nullptr));
    EXPECT_FALSE(tree.Delete(nullptr));
    EXPECT_FALSE(tree.EditLabel(tree.GetRootItem()));

    ASSERT_TRUE(Select(Category(user, "Resistors"), DATABASETYPE_USER));
    EXPECT_TRUE(tree.SetReadOnly(true) == false);
    EXPECT_FALSE(tree.HasRights());
    EXPECT_FALSE(tree.Rename(nullptr));
    EXPECT_FALSE(tree.AddChild("New"));
    EXPECT_FALSE(tree.EditLabel(tree.GetSelectedItem()));
}

TEST_F(CObjectTreeCtrlTest, ANewCategoryTakesAFreeNameAndItsLabelIsEdited) {
    ASSERT_TRUE(tree.Init(Category(user, "Resistors"), DATABASETYPE_USER));
    HTREEITEM resistors = tree.GetSelectedItem();
    ASSERT_TRUE(tree.AddChild("smd"));
    EXPECT_TRUE(tree.IsEditing());
    FinishLabelEdit(tree, "smd (2)");  // kept as it is
    EXPECT_EQ(ChildTexts(resistors), (std::vector<std::string>{"SMD", "smd (2)", "THT"}));
    const long added = Category(user, "Resistors/smd (2)");
    DATABASETYPE type = DATABASETYPE_MASTER;
    EXPECT_EQ(tree.GetSelectedID(type), added);
    EXPECT_EQ(type, DATABASETYPE_USER);
    EXPECT_EQ(LibraryTree(*user).Find(added)->parent, Category(user, "Resistors"));
}

TEST_F(CObjectTreeCtrlTest, DeletingACategoryRemovesItsWholeSubTreeAndItsPartsAtOnce) {
    const long resistors = Category(user, "Resistors");
    ASSERT_TRUE(tree.Init(resistors, DATABASETYPE_USER));
    const long parts = Count("tObjects");
    ASSERT_EQ(parts, 2);
    {
        MessageBoxScript boxes;
        boxes.Expect("This action will remove the selected category", IDCANCEL);
        EXPECT_FALSE(tree.Delete(nullptr));
    }
    EXPECT_EQ(Count("tObjectTree"), 4);
    MessageBoxScript boxes;
    boxes.Expect("This action will remove the selected category", IDOK);
    EXPECT_TRUE(tree.Delete(nullptr));
    EXPECT_EQ(Count("tObjectTree"), 1);
    EXPECT_EQ(Count("tObjects"), 0);
    EXPECT_EQ(ChildTexts(tree.GetRootItem()), std::vector<std::string>{});
    EXPECT_FALSE(Select(Category(user, "Resistors/SMD"), DATABASETYPE_USER));
}

TEST_F(CObjectTreeCtrlTest, ADeleteThatMayNotTakeEveryPartTakesNothing) {
    GiveToProtectedUser(user, "UPDATE tObjects SET lUserID=5 WHERE strObjectName='R0805'");
    ASSERT_TRUE(tree.Init(Category(user, "Resistors"), DATABASETYPE_USER));
    EXPECT_TRUE(tree.HasRights());
    MessageBoxScript boxes;
    boxes.Expect("This action will remove", IDOK)
        .Expect(ModuleString(IDS_OWNED_BY_OTHER_USER).str());
    EXPECT_FALSE(tree.Delete(nullptr));
    EXPECT_EQ(Count("tObjectTree"), 4);
    EXPECT_EQ(Count("tObjects"), 2);
    EXPECT_EQ(ChildTexts(tree.GetSelectedItem()), (std::vector<std::string>{"SMD", "THT"}));
}

TEST_F(CObjectTreeCtrlTest, AFileThatFailsShowsItsErrorAndKeepsTheTreeAsItWas) {
    ASSERT_TRUE(tree.Init(Category(user, "Resistors/SMD"), DATABASETYPE_USER));
    HTREEITEM smd = tree.GetSelectedItem();
    MessageBoxScript boxes;
    boxes.Expect("This action will remove", IDOK).Expect("disk I/O error");
    FaultInjector::Arm(FaultInjector::Operation::kWrite, 1, SQLITE_IOERR_WRITE, true);
    EXPECT_FALSE(tree.Delete(nullptr));
    FaultInjector::Disarm();
    EXPECT_TRUE(boxes.Done());
    EXPECT_EQ(tree.GetSelectedItem(), smd);
    EXPECT_EQ(Count("tObjects"), 2);
    EXPECT_GT(Category(user, "Resistors/SMD"), 0);
}

TEST_F(CObjectTreeCtrlTest, AnotherUsersCategoryIsNeitherRenamedNorDeleted) {
    GiveToProtectedUser(user, "UPDATE tObjectTree SET lUserID=5 WHERE strName='THT'");
    ASSERT_TRUE(tree.Init(Category(user, "Resistors/THT"), DATABASETYPE_USER));
    EXPECT_FALSE(tree.HasRights());
    EXPECT_FALSE(tree.Rename(nullptr));
    EXPECT_FALSE(tree.Delete(nullptr));  // no question asked
    EXPECT_FALSE(tree.EditLabel(tree.GetSelectedItem()));
}

TEST_F(CObjectTreeCtrlTest, ADropAsksForTheLibraryPasswordOnceWhenTheRuleWantsIt) {
    ProtectCurrentUser(user, "secret");
    ASSERT_TRUE(tree.Init(-1, DATABASETYPE_USER));
    const long smd = Category(user, "Resistors/SMD");
    {
        ModalScript script;
        script.Expect(IDD_ASK_LIB_PASSWORD, [](CDialog& dialog) { dialog.EndDialog(IDCANCEL); });
        EXPECT_FALSE(tree.TestForTreeRightsAndCancel(smd, DATABASETYPE_USER));
        script.Expect(IDD_ASK_LIB_PASSWORD, [](CDialog& dialog) {
            vaultry::test::TypeInto(dialog, IDC_LIB_PASSWORD, "secret");
            vaultry::test::Click(dialog, IDOK);
        });
        EXPECT_TRUE(tree.TestForTreeRightsAndCancel(smd, DATABASETYPE_USER));
    }
    ModalScript none;  // the password counts from now on
    EXPECT_TRUE(tree.TestForTreeRightsAndCancel(smd, DATABASETYPE_USER));
    // A master category the host does not let change asks nothing.
    ProtectCurrentUser(master, "other");
    EXPECT_FALSE(tree.TestForTreeRightsAndCancel(Category(master, "ICs"), DATABASETYPE_MASTER));
}

TEST_F(CObjectTreeCtrlTest, MovedPartsNeedThePasswordsOfTheirLibraries) {
    ProtectCurrentUser(corporate, "corp");
    OBJECT_ENTRY inUser{1, "R0603", DATABASETYPE_USER, true, 0};
    OBJECT_ENTRY inCorporate{1, "QFN-16", DATABASETYPE_CORPORATE, true, 0};
    OBJECT_ENTRY inMaster{1, "R0201", DATABASETYPE_MASTER, true, 0};
    ModalScript script;
    EXPECT_TRUE(tree.TestForObjectRightsAndCancel({&inUser}));
    EXPECT_TRUE(CObjectTreeCtrl::TestForTypesInSelection(DATABASETYPE_USER, {&inUser}));
    EXPECT_FALSE(CObjectTreeCtrl::TestForTypesInSelection(DATABASETYPE_MASTER, {&inUser}));
    script.Expect(IDD_ASK_LIB_PASSWORD, [](CDialog& dialog) { dialog.EndDialog(IDCANCEL); });
    EXPECT_FALSE(tree.TestForObjectRightsAndCancel({&inUser, &inCorporate}));
    script.Expect(IDD_ASK_LIB_PASSWORD, [](CDialog& dialog) {
        vaultry::test::TypeInto(dialog, IDC_LIB_PASSWORD, "corp");
        vaultry::test::Click(dialog, IDOK);
    });
    EXPECT_TRUE(tree.TestForObjectRightsAndCancel({&inUser, &inCorporate}));
    ProtectCurrentUser(master, "other");
    EXPECT_FALSE(tree.TestForObjectRightsAndCancel({&inMaster}));
}

TEST_F(CObjectTreeCtrlTest, ARedrawKeepsTheSameCategoriesInViewAndTheSameOneOnTop) {
    window.Widget()->resize(300, 120);
    tree.Widget()->resize(300, 120);
    ASSERT_TRUE(tree.Init(-1, DATABASETYPE_USER));
    HTREEITEM masterTop = tree.GetNextSiblingItem(tree.GetNextSiblingItem(tree.GetRootItem()));
    HTREEITEM ics = tree.GetChildItem(masterTop);
    while (tree.GetItemText(ics) != "ICs") {
        ics = tree.GetNextSiblingItem(ics);
    }
    tree.EnsureVisible(tree.GetChildItem(ics));
    tree.SelectSetFirstVisible(ics);
    QApplication::processEvents();
    ASSERT_EQ(tree.GetFirstVisibleItem(), ics);
    tree.Redraw();
    QApplication::processEvents();
    DATABASETYPE type = DATABASETYPE_USER;
    tree.SelectItem(tree.GetFirstVisibleItem());
    EXPECT_EQ(tree.GetSelectedID(type), Category(master, "ICs"));
    EXPECT_EQ(type, DATABASETYPE_MASTER);
    EXPECT_EQ(ChildTexts(tree.GetFirstVisibleItem()).size(), 4u);
    EXPECT_NE(tree.GetNextVisibleItem(tree.GetFirstVisibleItem()), nullptr);
    EXPECT_EQ(tree.GetItemText(tree.GetNextVisibleItem(tree.GetFirstVisibleItem())), "DIP");
}

}  // namespace
