// The check list of parts to store, on real libraries: which names it lists and ticks, how a
// click on a box is decided, renaming in place (and the names it refuses), and the lists it
// hands the store dialog.

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "controls/CObjectCheckListBox.h"
#include "host/CDrwGroup.h"
#include "host/CDrwObList.h"
#include "host/FootprintGenerator.h"
#include "platform/ui/CheckListModel.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/StarterLibraries.h"

namespace {

using vaultry::test::MessageBoxScript;

class CObjectCheckListBoxTest : public vaultry::test::StarterLibraries {
protected:
    void SetUp() override {
        StarterLibraries::SetUp();
        ASSERT_TRUE(list.Create(CRect{0, 0, 300, 300}, &window, 6055));
        tester = std::make_unique<QAbstractItemModelTester>(
            &list.Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        list.OnCheckChange([this](int index) { notified.push_back(index); });
    }
    // A design of parts named `names`, listed against the user library.
    void Fill(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            design.Add(
                MakeChipFootprint(name, "R1", Millimetres(1.6), Millimetres(0.9), Millimetres(0.95))
                    .release());
        }
        list.SetObjectList(&design);
        list.Init();
    }
    // Each line as "name" or "name*" when ticked.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (int i = 0; i < list.GetCount(); ++i) {
            CString text;
            list.GetText(i, text);
            lines.push_back(text.str() + (list.GetCheck(i) ? "*" : ""));
        }
        return lines;
    }
    std::string NameOf(int object) const { return design.GetAt(object)->GetName()->str(); }
    QPoint Box(int index) const {
        CRect place;
        list.GetItemRect(index, &place);
        return {static_cast<int>(place.left) + 8, static_cast<int>(place.top) + 6};
    }
    void ClickBox(int index) {
        auto* view = qobject_cast<QAbstractItemView*>(list.Widget());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, Box(index));
    }
    void TypeAndEnd(const char* text, int key) {
        auto* edit = list.Widget()->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        edit->setText(QString::fromUtf8(text));
        QTest::keyClick(edit, static_cast<Qt::Key>(key));
        QApplication::processEvents();
    }

    CDrwObList design;
    CObjectCheckListBox list;
    std::unique_ptr<QAbstractItemModelTester> tester;
    std::vector<int> notified;
};

TEST_F(CObjectCheckListBoxTest, NamesAreMadeFreeWhereTheyCanBeAndTickedWhereTheyAre) {
    // R0603 is stored in the user library; "Copy of R0805" names a stored part without it.
    Fill({"R0603", "Copy of R1206", "r1206", "", "Copy of R0805"});
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Copy of R0603*", "Copy of R0805*", "R1206*"}));
    EXPECT_EQ(NameOf(0), "Copy of R0603");  // the object itself carries the name listed
    EXPECT_EQ(NameOf(1), "R1206");
    EXPECT_EQ(NameOf(2), "r1206");  // the same name again: not listed
    EXPECT_EQ(list.GetItemDataPtr(2), design.GetAt(1));
    // A second round takes the prefix off first: nothing gets "Copy of Copy of".
    list.SetDatabaseType(DATABASETYPE_CORPORATE);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"R0603*", "R0805*", "R1206*"}));
    EXPECT_TRUE(list.ContainPartNotInLibrary());
    EXPECT_EQ(list.GetCheckCount(), 3);
}

TEST_F(CObjectCheckListBoxTest, ABoxIsTickedOnlyForAFreeNameAndSelectedLinesGoTogether) {
    Fill({"R1", "R2", "R3"});
    list.SetCheck(0, 0);
    list.SetCheck(1, 0);
    list.SetCheck(2, 0);
    ClickBox(0);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"R1*", "R2", "R3"}));
    list.SetSel(-1, TRUE);
    ClickBox(1);  // among the selected: all three change
    EXPECT_EQ(Lines(), (std::vector<std::string>{"R1", "R2*", "R3*"}));
    user->Execute("UPDATE tObjects SET strObjectName='R1' WHERE strObjectName='R0603'");
    list.SetSel(-1, FALSE);
    ClickBox(0);  // R1 is stored now: the box stays empty, the dialog still hears of it
    EXPECT_EQ(list.GetCheck(0), 0);
    EXPECT_EQ(notified, (std::vector<int>{0, 1, 0}));
    EXPECT_FALSE(list.CanCheck(0));
}

TEST_F(CObjectCheckListBoxTest, ARenameTakesAFreeNameIntoTheObjectAndRefusesOthers) {
    Fill({"R1", "R2"});
    list.SetCaretIndex(0);
    list.Rename();
    TypeAndEnd("Z9", Qt::Key_Escape);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"R1*", "R2*"}));
    EXPECT_EQ(notified, std::vector<int>{0});

    list.SetCaretIndex(0);
    list.Rename();
    TypeAndEnd("Z9", Qt::Key_Return);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"R2*", "Z9"}));  // re-sorted, unticked
    EXPECT_EQ(NameOf(0), "Z9");

    MessageBoxScript boxes;
    boxes.Expect("Please enter a valid name.");
    boxes.Expect("The specified name already exists");
    boxes.Expect("The specified name already exists");
    for (const char* refused : {"", "z9", "R0805"}) {  // empty, another line's, a stored part's
        list.SetCaretIndex(0);
        list.Rename();
        TypeAndEnd(refused, Qt::Key_Return);
        EXPECT_EQ(Lines(), (std::vector<std::string>{"R2*", "Z9"})) << refused;
    }
    EXPECT_TRUE(boxes.Done());
    EXPECT_EQ(NameOf(1), "R2");
    list.SetCaretIndex(0);
    list.Rename();
    TypeAndEnd("r2", Qt::Key_Return);  // only the case differs: nothing changes
    EXPECT_EQ(Lines(), (std::vector<std::string>{"R2*", "Z9"}));
    EXPECT_FALSE(list.IsRenaming());
}

TEST_F(CObjectCheckListBoxTest, TheTickedObjectsAreTheDesignsOwnAndTheSelectedOnesCopies) {
    Fill({"R1", "R2", "R3"});
    list.SetCheck(1, 0);
    const auto checked = list.GetCheckedObjectList();
    ASSERT_EQ(checked->GetCount(), 2);
    EXPECT_EQ(checked->GetAt(0), design.GetAt(0));
    EXPECT_EQ(checked->GetAt(1), design.GetAt(2));
    EXPECT_FALSE(checked->OwnsObjects());
    list.SetSel(-1, TRUE);
    list.SetCaretIndex(2);
    const auto caret = list.GetSelectedObjectList(true);
    ASSERT_EQ(caret->GetCount(), 1);
    EXPECT_NE(caret->GetAt(0), design.GetAt(2));
    EXPECT_EQ(*caret->GetAt(0)->GetName(), "R3");
    EXPECT_EQ(list.GetSelectedObjectList(false)->GetCount(), 3);
}

}  // namespace
