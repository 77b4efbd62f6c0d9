// The tree view, the owner-data list view and the image lists as the controls use them: items
// and their data, batches, sorting, selection, in-place editing that the owner may refuse, and
// images with overlays and state images. Every model is watched by Qt's model tester.

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include "platform/afx/CResourceModule.h"
#include "platform/ui/CBitmap.h"
#include "platform/ui/CCheckListBox.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CImageList.h"
#include "platform/ui/CListCtrl.h"
#include "platform/ui/CTreeCtrl.h"
#include "platform/ui/CheckListModel.h"
#include "platform/ui/TreeItemModel.h"
#include "tests/support/ModalScript.h"

namespace {

using Tester = QAbstractItemModelTester;

// A 32 x 16 strip: magenta with a red square in the first image and a blue one in the second.
const std::vector<unsigned char>& StripPng() {
    static const std::vector<unsigned char> bytes = [] {
        QImage image(32, 16, QImage::Format_RGB32);
        image.fill(QColor(255, 0, 255));
        for (int y = 4; y < 12; ++y) {
            for (int x = 4; x < 12; ++x) {
                image.setPixel(x, y, qRgb(200, 0, 0));
                image.setPixel(x + 16, y, qRgb(0, 0, 200));
            }
        }
        QByteArray data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return std::vector<unsigned char>(data.begin(), data.end());
    }();
    return bytes;
}

class ItemViewsTest : public testing::Test {
protected:
    void SetUp() override { EnsureUiApplication(); }
};

TEST_F(ItemViewsTest, TreeItemsKeepTheirDataThroughInsertsSortsRemovalsAndBatches) {
    CTreeCtrl tree;
    ASSERT_TRUE(tree.Create({0, 0, 200, 300}, nullptr, 7, false));
    Tester tester(&tree.Model(), Tester::FailureReportingMode::Fatal);
    HTREEITEM root = tree.InsertItem("Root");
    HTREEITEM zeta = tree.InsertItem("zeta", root);
    HTREEITEM alpha = tree.InsertItem("Alpha", root);
    tree.InsertItem("beta", alpha);
    tree.SetItemData(zeta, 42);
    tree.Expand(root, TVE_EXPAND);
    ASSERT_TRUE(tree.SelectItem(zeta));
    ASSERT_TRUE(tree.SortChildren(root));
    EXPECT_EQ(tree.GetChildItem(root), alpha);  // case ignored: Alpha before zeta
    EXPECT_EQ(tree.GetNextSiblingItem(alpha), zeta);
    EXPECT_EQ(tree.GetSelectedItem(), zeta);  // the selection follows its item
    EXPECT_EQ(tree.GetItemData(zeta), 42u);
    EXPECT_EQ(tree.GetCount(), 4);
    EXPECT_EQ(tree.GetNextVisibleItem(root), alpha);

    tree.SetRedraw(FALSE);
    for (int i = 0; i < 100; ++i) {
        tree.InsertItem(("item " + std::to_string(i)).c_str(), zeta);
    }
    tree.SetRedraw(TRUE);
    EXPECT_EQ(tree.GetCount(), 104);
    ASSERT_TRUE(tree.DeleteItem(alpha));
    EXPECT_EQ(tree.GetChildItem(root), zeta);
    EXPECT_EQ(tree.GetCount(), 102);
    EXPECT_TRUE(tree.DeleteAllItems());
    EXPECT_EQ(tree.GetRootItem(), nullptr);
}

TEST_F(ItemViewsTest, ATreeLabelIsEditedOnlyWhenTheOwnerAgreesAtStartAndEnd) {
    CTreeCtrl tree;
    ASSERT_TRUE(tree.Create({0, 0, 200, 300}, nullptr, 7, true));
    Tester tester(&tree.Model(), Tester::FailureReportingMode::Fatal);
    tree.Widget()->show();
    HTREEITEM top = tree.InsertItem("Top");
    HTREEITEM child = tree.InsertItem("Child", top);
    tree.Expand(top, TVE_EXPAND);
    tree.OnBeginLabelEdit([&](HTREEITEM item) { return item != top; });
    std::vector<std::string> ended;
    tree.OnEndLabelEdit([&](HTREEITEM, const CString& text) {
        ended.push_back(text.str());
        return !text.IsEmpty();
    });
    EXPECT_FALSE(tree.EditLabel(top));
    ASSERT_TRUE(tree.EditLabel(child));
    vaultry::test::FinishLabelEdit(tree, "");
    EXPECT_EQ(tree.GetItemText(child), "Child");  // refused at the end: the old text stays
    ASSERT_TRUE(tree.EditLabel(child));
    vaultry::test::FinishLabelEdit(tree, "Renamed");
    EXPECT_EQ(tree.GetItemText(child), "Renamed");
    EXPECT_EQ(ended, (std::vector<std::string>{"", "Renamed"}));
    EXPECT_FALSE(tree.IsEditing());
}

TEST_F(ItemViewsTest, AnImageListMasksItsColourCutsStripsAndDrawsOverlays) {
    const CResourceModule module("Pictures", {},
                                 {{5, CResourceBitmap{StripPng().data(), StripPng().size()}}});
    CBitmap bitmap;
    EXPECT_FALSE(bitmap.LoadBitmap(&module, 6));
    ASSERT_TRUE(bitmap.LoadBitmap(&module, 5));
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16));
    EXPECT_EQ(images.Add(bitmap, RGB(255, 0, 255)), 0);
    EXPECT_EQ(images.GetImageCount(), 2);
    ASSERT_TRUE(images.SetOverlayImage(1, 1));
    const QImage plain = images.Draw(0).toImage();
    EXPECT_EQ(qAlpha(plain.pixel(0, 0)), 0);  // magenta is masked out
    EXPECT_EQ(plain.pixel(5, 5), qRgb(200, 0, 0));
    const QImage covered = images.Draw(0, 1).toImage();
    EXPECT_EQ(covered.pixel(5, 5), qRgb(0, 0, 200));  // the overlay is drawn over the image
    EXPECT_EQ(qAlpha(images.Draw(9).toImage().pixel(5, 5)), 0);
}

TEST_F(ItemViewsTest, AnOwnerDataListAsksItsOwnerAndKeepsTheSelection) {
    std::vector<std::string> names;
    for (int i = 0; i < 1000; ++i) {
        names.push_back("part " + std::to_string(i));
    }
    CListCtrl list;
    ASSERT_TRUE(list.Create({0, 0, 200, 300}, nullptr, 1001, true));
    Tester tester(&list.Model(), Tester::FailureReportingMode::Fatal);
    list.Widget()->show();
    int asked = 0;
    list.SetDisplayHandler([&](int item) {
        ++asked;
        ListItemDisplay display;
        display.text = names[static_cast<std::size_t>(item)].c_str();
        display.stateImage = 1 + item % 3;
        return display;
    });
    int changes = 0;
    list.OnItemChanged([&] { ++changes; });
    list.SetItemCountEx(100);
    list.SetItemCountEx(1000);
    EXPECT_EQ(list.GetItemCount(), 1000);
    EXPECT_EQ(list.GetItemText(999), "part 999");
    EXPECT_GT(asked, 0);
    EXPECT_LT(asked, 1000);  // only what is drawn or read is asked for

    list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
    list.SetItemState(7, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(list.GetSelectedCount(), 2);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 3);
    EXPECT_EQ(list.GetNextItem(3, LVNI_SELECTED), 7);
    EXPECT_EQ(list.GetNextItem(7, LVNI_SELECTED), -1);
    EXPECT_EQ(list.GetItemState(7, LVIS_FOCUSED), LVIS_FOCUSED);
    EXPECT_EQ(list.GetSelectionMark(), 7);
    EXPECT_GT(changes, 0);
    list.SetItemCountEx(5);  // the items that stay keep their selection
    EXPECT_EQ(list.GetSelectedCount(), 1);
    list.SetItemState(-1, 0, LVIS_SELECTED);
    EXPECT_EQ(list.GetSelectedCount(), 0);

    list.OnBeginLabelEdit([](int item) { return item != 0; });
    list.OnEndLabelEdit([&](int item, const CString& text) {
        names[static_cast<std::size_t>(item)] = text.str();
        return true;
    });
    EXPECT_FALSE(list.EditLabel(0));
    ASSERT_TRUE(list.EditLabel(2));
    vaultry::test::FinishLabelEdit(list, "renamed");
    EXPECT_EQ(list.GetItemText(2), "renamed");
}

// A column asked narrower than the view fills it, at any size the view takes later; one wider
// than the view scrolls sideways.
TEST_F(ItemViewsTest, AListColumnFillsTheViewAndScrollsOnlyForWhatDoesNotFit) {
    CListCtrl list;
    ASSERT_TRUE(list.Create({0, 0, 200, 300}, nullptr, 1001, false));
    list.Widget()->show();
    list.SetDisplayHandler([](int) {
        ListItemDisplay display;
        display.text = "part";
        return display;
    });
    list.SetItemCountEx(3);
    auto* view = qobject_cast<QAbstractScrollArea*>(list.Widget());
    list.SetColumnWidth(50);
    EXPECT_EQ(list.GetColumnWidth(), view->viewport()->width());
    list.Widget()->resize(400, 300);
    QApplication::processEvents();
    EXPECT_EQ(list.GetColumnWidth(), view->viewport()->width());
    EXPECT_GT(list.GetColumnWidth(), 300);
    list.Widget()->resize(150, 300);
    QApplication::processEvents();
    EXPECT_EQ(list.GetColumnWidth(), view->viewport()->width());
    list.SetColumnWidth(1000);
    QApplication::processEvents();
    EXPECT_EQ(list.GetColumnWidth(), 1000);
    EXPECT_EQ(view->horizontalScrollBar()->maximum(), 1000 - view->viewport()->width());
}

}  // namespace

// The owner decides the check marks: a click on a box only tells it; a click on a text
// selects and says whether the item had the caret already.
TEST_F(ItemViewsTest, ACheckListSortsAsNamesCompareAndLeavesTheMarksToItsOwner) {
    CCheckListBox list;
    ASSERT_TRUE(list.Create({0, 0, 200, 300}, nullptr, 6055));
    Tester tester(&list.Model(), Tester::FailureReportingMode::Fatal);
    list.Widget()->show();
    int data[3] = {};
    for (const char* name : {"r10", "R2", "Éclair", "a1"}) {
        list.AddString(name);
    }
    CString text;
    list.GetText(0, text);
    EXPECT_EQ(text, "a1");
    list.GetText(3, text);
    EXPECT_EQ(text, "Éclair");  // after the ASCII letters, as names sort in the libraries
    EXPECT_EQ(list.FindStringExact(-1, "éCLAIR"), 3);
    EXPECT_EQ(list.FindStringExact(3, "A1"), 0);  // the search wraps round
    EXPECT_EQ(list.FindStringExact(-1, "R"), LB_ERR);
    list.SetItemDataPtr(1, &data[1]);
    EXPECT_EQ(list.GetItemDataPtr(1), &data[1]);

    std::vector<int> boxes;
    std::vector<std::pair<int, bool>> texts;
    list.OnCheckClicked([&](int index) { boxes.push_back(index); });
    list.OnTextClicked([&](int index, bool wasCurrent) { texts.emplace_back(index, wasCurrent); });
    auto* view = qobject_cast<QAbstractItemView*>(list.Widget());
    CRect place;
    list.GetItemRect(2, &place);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      QPoint(static_cast<int>(place.left) + 8, static_cast<int>(place.top) + 6));
    EXPECT_EQ(boxes, std::vector<int>{2});
    EXPECT_EQ(list.GetCheck(2), 0);  // only the owner ticks
    EXPECT_EQ(list.GetSelCount(), 0);
    const QPoint onText(static_cast<int>(place.left) + 60, static_cast<int>(place.top) + 6);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, onText);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, onText);
    EXPECT_EQ(texts, (std::vector<std::pair<int, bool>>{{2, false}, {2, true}}));
    EXPECT_EQ(list.GetCaretIndex(), 2);
    list.SetCheck(2, 1);
    EXPECT_EQ(list.GetCheck(2), 1);
    list.SetSel(-1, TRUE);
    EXPECT_EQ(list.GetSelCount(), 4);
    EXPECT_EQ(list.DeleteString(0), 3);
    EXPECT_EQ(list.DeleteString(7), LB_ERR);
}
