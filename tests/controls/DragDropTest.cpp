// Categories and parts dragged onto the category tree on real libraries, by the mouse with
// synthetic drag events: copy or move by the keys, refused targets, moves between libraries
// that take everything or nothing, rights tested again on the drop, two trees in two windows,
// and a tree that opens and scrolls under a resting drag.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>

#include "controls/CObjectComboBox.h"
#include "controls/CObjectTreeCtrl.h"
#include "controls/LibraryDragPayload.h"
#include "host/HostEvents.h"
#include "platform/ui/COleDataSource.h"
#include "platform/ui/TreeItemModel.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/StarterLibraries.h"
#include "tests/support/SyntheticDrag.h"

namespace {

using vaultry::dao::FaultInjector;
using vaultry::test::MessageBoxScript;
using vaultry::test::MouseDrag;
using vaultry::test::PointOf;

QAbstractItemView* ViewOf(CWnd& control) {
    return qobject_cast<QAbstractItemView*>(control.Widget());
}

class DragDropTest : public vaultry::test::StarterLibraries {
protected:
    void SetUp() override {
        StarterLibraries::SetUp();
        window.Widget()->resize(700, 420);
        Make(tree, window, CRect{0, 0, 320, 400});
    }

    static void Make(CObjectTreeCtrl& made, CWnd& parent, const CRect& place) {
        made.SetAllowDraging(true);
        made.Create(place, &parent, false);
        made.Init(-1, DATABASETYPE_USER);
        qobject_cast<QTreeView*>(made.Widget())->expandAll();
    }
    static HTREEITEM ItemOf(CObjectTreeCtrl& in, CMSAccessDBHandler* library,
                            const std::string& path) {
        const long id = path.empty() ? 1 : Category(library, path);
        for (HTREEITEM item = in.GetNextItem(nullptr); item; item = in.GetNextItem(item)) {
            const auto* record = reinterpret_cast<TREE_ITEM_INFO*>(in.GetItemData(item));
            if (record->lTreeID == id && record->eDatabaseType == library->GetDatabaseType()) {
                return item;
            }
        }
        ADD_FAILURE() << "no item for " << path;
        return nullptr;
    }
    // The drop goes onto `path` of `library` in `onto` (this test's tree unless named).
    void Aim(CMSAccessDBHandler* library, const std::string& path, Qt::KeyboardModifiers keys = {},
             CObjectTreeCtrl* onto = nullptr) {
        CObjectTreeCtrl& aimed = onto != nullptr ? *onto : tree;
        drop.Aim(aimed, ItemOf(aimed, library, path), keys);
    }
    // Drags category `path` of `library` from this test's tree with the mouse.
    void DragCategory(CMSAccessDBHandler* library, const std::string& path) {
        MouseDrag(ViewOf(tree), PointOf(tree, ItemOf(tree, library, path)));
    }

    static long PartsIn(CMSAccessDBHandler* library, const std::string& path) {
        const long id = path.empty() ? 1 : Category(library, path);
        return id == -1 ? -1 : LibraryTree(*library).Find(id)->parts;
    }
    static long ParentOf(CMSAccessDBHandler* library, const std::string& path) {
        return LibraryTree(*library).Find(Category(library, path))->parent;
    }

    CObjectTreeCtrl tree;
    vaultry::test::SyntheticDrop drop;
};

TEST_F(DragDropTest, ACategoryMovesByAPlainDragAndCopiesWithCtrl) {
    Aim(user, "Resistors/SMD");
    DragCategory(user, "Resistors/THT");
    EXPECT_EQ(drop.Shown(), DROPEFFECT_MOVE);
    EXPECT_EQ(ParentOf(user, "Resistors/SMD/THT"), Category(user, "Resistors/SMD"));
    EXPECT_EQ(Category(user, "Resistors/THT"), -1);

    Aim(corporate, "", Qt::ControlModifier);
    DragCategory(user, "Resistors/SMD");
    EXPECT_EQ(drop.Shown(), DROPEFFECT_COPY);
    EXPECT_EQ(PartsIn(corporate, "SMD"), 2);
    EXPECT_NE(Category(corporate, "SMD/THT"), -1);
    EXPECT_EQ(PartsIn(user, "Resistors/SMD"), 2);  // the original stays
    // The tree shows both after the drag, and the view kept its place.
    EXPECT_NE(ItemOf(tree, corporate, "SMD"), nullptr);
    EXPECT_NE(ItemOf(tree, user, "Resistors/SMD/THT"), nullptr);

    Aim(corporate, "", Qt::ControlModifier | Qt::ShiftModifier);
    DragCategory(user, "Resistors/SMD/THT");
    EXPECT_EQ(drop.Shown(), DROPEFFECT_MOVE);
    EXPECT_EQ(Category(user, "Resistors/SMD/THT"), -1);
    EXPECT_NE(Category(corporate, "THT"), -1);
}

TEST_F(DragDropTest, ACategoryIsRefusedOnItselfItsSubTreeAndWhereItIsAlready) {
    const LibraryTree before(*user);
    for (const char* onto : {"Resistors", "Resistors/SMD", ""}) {
        Aim(user, onto);
        DragCategory(user, "Resistors");
        EXPECT_EQ(drop.Shown(), DROPEFFECT_NONE) << onto;
        EXPECT_EQ(drop.Highlighted(), "") << onto;
    }
    EXPECT_EQ(LibraryTree(*user).All().size(), before.All().size());
    EXPECT_EQ(ParentOf(user, "Resistors"), 1);

    // Into another library anywhere; the category under the drag is shown as the target.
    Aim(corporate, "QFN", Qt::ControlModifier);
    DragCategory(user, "Resistors");
    EXPECT_EQ(drop.Shown(), DROPEFFECT_COPY);
    EXPECT_EQ(drop.Highlighted(), "QFN");
    EXPECT_EQ(tree.GetDropHilightItem(), nullptr);  // gone with the drop
    EXPECT_EQ(PartsIn(corporate, "QFN/Resistors/SMD"), 2);
}

TEST_F(DragDropTest, ATopCategoryIsOnlyCopiedAndTheMasterLibraryTakesNothingWithoutLeave) {
    const long userCategories = static_cast<long>(LibraryTree(*user).All().size());
    Aim(corporate, "");
    DragCategory(user, "");
    EXPECT_EQ(drop.Shown(), DROPEFFECT_COPY);  // a plain drag, but a top category cannot move
    EXPECT_EQ(static_cast<long>(LibraryTree(*user).All().size()), userCategories);
    EXPECT_NE(Category(corporate, "User/Resistors/SMD"), -1);

    Aim(master, "ICs", Qt::ControlModifier);
    DragCategory(user, "Resistors");
    EXPECT_EQ(drop.Shown(), DROPEFFECT_NONE);
    EXPECT_EQ(Category(master, "ICs/Resistors"), -1);
}

TEST_F(DragDropTest, AMoveToAnotherLibraryTakesTheSubTreeWithItsPartsOrNothing) {
    const long corporateCategories = static_cast<long>(LibraryTree(*corporate).All().size());
    {
        MessageBoxScript boxes;
        boxes.AllowAny();
        Aim(corporate, "");
        FaultInjector::Arm(FaultInjector::Operation::kWrite, 1, SQLITE_IOERR_WRITE, true);
        DragCategory(user, "Resistors");
        FaultInjector::Disarm();
        EXPECT_EQ(drop.Shown(), DROPEFFECT_MOVE);
        ASSERT_FALSE(boxes.Shown().empty());  // the user hears that it failed
        EXPECT_NE(boxes.Shown().back().find("was not copied"), std::string::npos);
    }
    EXPECT_EQ(PartsIn(user, "Resistors/SMD"), 2);
    EXPECT_NE(Category(user, "Resistors/THT"), -1);
    EXPECT_EQ(static_cast<long>(LibraryTree(*corporate).All().size()), corporateCategories);

    DragCategory(user, "Resistors");
    EXPECT_EQ(Category(user, "Resistors"), -1);
    EXPECT_EQ(Category(user, "Resistors/SMD"), -1);
    EXPECT_EQ(user->GetObjectID("R0603", "Footprint"), -1);
    EXPECT_EQ(PartsIn(corporate, "Resistors/SMD"), 2);
    EXPECT_NE(Category(corporate, "Resistors/THT"), -1);
}

TEST_F(DragDropTest, AMoveTestsTheRightsOnEveryPartItWouldRemove) {
    GiveToProtectedUser(user, "UPDATE tObjects SET lUserID=5 WHERE strObjectName='R0805'");
    MessageBoxScript boxes;
    boxes.AllowAny();
    Aim(corporate, "");
    DragCategory(user, "Resistors");
    EXPECT_EQ(drop.Shown(), DROPEFFECT_MOVE);  // the category itself is the user's
    EXPECT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(PartsIn(user, "Resistors/SMD"), 2);
    EXPECT_EQ(Category(corporate, "Resistors"), -1);

    // Copying takes nothing away, and needs no rights on what it copies.
    Aim(corporate, "", Qt::ControlModifier);
    DragCategory(user, "Resistors");
    EXPECT_EQ(PartsIn(corporate, "Resistors/SMD"), 2);
}

class PartDragTest : public DragDropTest {
protected:
    void SetUp() override {
        DragDropTest::SetUp();
        parts.Create(CRect{330, 0, 690, 400}, &window, 1);
        parts.m_strDocTypeFilter = "Footprint";
        parts.FillList(LibraryTree::PartsFilter({Category(user, "Resistors/SMD")}),
                       DATABASETYPE_USER);
    }
    void DragBothParts() {
        CListCtrl& list = parts.List();
        ASSERT_EQ(list.GetItemCount(), 2);
        for (const int item : {0, 1}) {
            list.SetItemState(item, LVIS_SELECTED, LVIS_SELECTED);
        }
        MouseDrag(ViewOf(list), ViewOf(list)->visualRect(list.Model().index(0, 0)).center());
    }

    CObjectComboBox parts;
};

TEST_F(PartDragTest, PartsCopyWithCtrlAndMoveIntoAnotherLibraryLeavingNoOriginals) {
    Aim(corporate, "QFN", Qt::ControlModifier);
    DragBothParts();
    EXPECT_EQ(drop.Shown(), DROPEFFECT_COPY);
    EXPECT_EQ(PartsIn(corporate, "QFN"), PartsIn(master, "ICs/QFN") + 2);
    EXPECT_EQ(parts.List().GetItemCount(), 2);

    Aim(user, "Resistors/THT");
    DragBothParts();
    EXPECT_EQ(PartsIn(user, "Resistors/THT"), 2);  // within a library only the category changes
    parts.NameField().SetWindowText("");           // a chosen part wrote its name there
    parts.FillList(LibraryTree::PartsFilter({Category(user, "Resistors/THT")}), DATABASETYPE_USER);
    Aim(master, "", Qt::NoModifier);
    folder.Host().SetMasterEditAllowed(true);
    DragBothParts();
    folder.Host().SetMasterEditAllowed(false);
    EXPECT_EQ(PartsIn(user, "Resistors/THT"), 0);
    EXPECT_EQ(parts.List().GetItemCount(), 0);  // the list refilled after the move
    EXPECT_NE(master->GetObjectID("Copy of R0603", "Footprint"), -1);
}

TEST_F(PartDragTest, PartsOfSomeoneElseAreOnlyCopied) {
    GiveToProtectedUser(user, "UPDATE tObjects SET lUserID=5 WHERE strObjectName='R0805'");
    Aim(corporate, "");
    DragBothParts();
    EXPECT_EQ(drop.Shown(), DROPEFFECT_COPY);  // move is not offered for them
    EXPECT_EQ(PartsIn(user, "Resistors/SMD"), 2);
    EXPECT_EQ(PartsIn(corporate, ""), 2);
}

// Two trees listen to the one event: only the one under the drag answers, and only with an
// effect the source allows.
TEST_F(DragDropTest, OnlyTheTreeUnderTheDragAnswersAndOnlyWithAnAllowedEffect) {
    CWnd otherWindow;
    otherWindow.Create(nullptr, CRect{0, 0, 320, 400}, 0);
    otherWindow.Widget()->show();
    CObjectTreeCtrl other;
    Make(other, otherWindow, CRect{0, 0, 320, 400});

    Aim(corporate, "", Qt::ControlModifier, &other);
    DragCategory(user, "Resistors/THT");
    EXPECT_EQ(drop.Shown(), DROPEFFECT_COPY);
    EXPECT_NE(Category(corporate, "THT"), -1);
    EXPECT_NE(ItemOf(other, corporate, "THT"), nullptr);  // the target shows what it took

    const QByteArray bytes = LibraryDragPayload{
        LibraryDragPayload::Kind::kCategory,
        {{Category(user, "Resistors/SMD"),
          DATABASETYPE_USER}}}.Encode();
    QMimeData data;
    data.setData(LibraryDragPayload::kFormatName, bytes);
    COleDataObject copyOnly(&data, DROPEFFECT_COPY);
    DRAGDROP_EVENTINFO info;
    info.pTargetWnd = &other;
    info.pDataObject = &copyOnly;
    info.nClipboardFormat = RegisterClipboardFormatA(LibraryDragPayload::kFormatName);
    const QPoint onCorporate = PointOf(other, ItemOf(other, corporate, ""));
    info.x = onCorporate.x();
    info.y = onCorporate.y();
    info.nPhase = 3;
    EXPECT_EQ(tree.DragDropCallBack(0, &info), 0);  // not over this tree
    EXPECT_EQ(other.DragDropCallBack(0, &info), 1);
    info.nPhase = 4;
    info.dwDropEffect = DROPEFFECT_MOVE;
    EXPECT_EQ(EventDragAndDrop().DoEvent(info, 0), 0);
    EXPECT_NE(Category(user, "Resistors/SMD"), -1);
    EXPECT_EQ(Category(corporate, "SMD"), -1);
}

TEST_F(DragDropTest, DataOfOtherKindsIsEnteredButNeverTaken) {
    QMimeData data;
    data.setData(LibraryDragPayload::kOtherFormatName, "anything");
    Aim(user, "Resistors");
    EXPECT_EQ(drop.Drop(data, DROPEFFECT_COPY | DROPEFFECT_MOVE), DROPEFFECT_NONE);
    QMimeData damaged;
    damaged.setData(LibraryDragPayload::kFormatName, QByteArray("\x01\x00\x00", 3));
    EXPECT_EQ(drop.Drop(damaged, DROPEFFECT_COPY), DROPEFFECT_NONE);
    EXPECT_EQ(LibraryTree(*user).All().size(), 4u);
}

TEST_F(DragDropTest, ADragThatRestsOpensTheCategoryAndScrollsNearTheEdge) {
    tree.SetDragExpandDelay(0);
    auto* view = qobject_cast<QTreeView*>(tree.Widget());
    const HTREEITEM resistors = ItemOf(tree, user, "Resistors");
    view->collapseAll();
    const QPoint onResistors = PointOf(tree, resistors);
    tree.DragHover(CPoint{onResistors.x(), onResistors.y()});
    QApplication::processEvents();
    EXPECT_TRUE(view->isExpanded(tree.Model().IndexOf(resistors)));

    view->expandAll();
    view->resize(view->width(), 80);
    view->scrollToBottom();
    const int bottom = view->verticalScrollBar()->value();
    ASSERT_GT(bottom, 0);
    tree.DragHover(CPoint{20, 2});
    EXPECT_LT(view->verticalScrollBar()->value(), bottom);
    tree.EndDragHover();
}

}  // namespace
