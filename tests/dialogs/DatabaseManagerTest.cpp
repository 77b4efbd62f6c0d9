// The Database Manager on the starter libraries, driven as a user would: its layout at two
// sizes, choosing categories and parts across the libraries, what the bars allow, the preview of
// a part (also one that cannot be read) and its dimensions in each unit, and the menus.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QTest>
#include <QToolButton>

#include "dialogs/CDatabaseManagerDlg.h"
#include "dialogs/CSelectLibraryDestination.h"
#include "dialogs/CStoreObjectsDlg.h"
#include "host/CDrwDimension.h"
#include "host/CDrwGroup.h"
#include "host/CDrwSubSheet.h"
#include "host/CurrentDesign.h"
#include "host/FootprintGenerator.h"
#include "platform/ui/CMenu.h"
#include "resources/VaultryStrings.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/ModalScript.h"
#include "tests/support/StarterLibraries.h"

namespace {

using vaultry::test::Choose;
using vaultry::test::Click;
using vaultry::test::ModalScript;

class DatabaseManagerTest : public vaultry::test::StarterLibraries {
protected:
    // Runs the Database Manager with `act` done in it, then closes it.
    void Run(const std::function<void(CDatabaseManagerDlg&)>& act) {
        ModalScript script;
        script.Expect(IDD_DATABASE_MANAGER, [&](CDialog& shown) {
            act(static_cast<CDatabaseManagerDlg&>(shown));
            Click(shown, IDC_CANCEL);
        });
        CDatabaseManagerDlg dialog;
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }

    static void ChooseCategory(CDatabaseManagerDlg& dialog, CMSAccessDBHandler* library,
                               const std::string& path) {
        ASSERT_TRUE(
            dialog.GetTree().SetObjectTreeID(Category(library, path), library->GetDatabaseType()));
    }
    static void ChooseParts(CDatabaseManagerDlg& dialog, std::initializer_list<int> items) {
        CListCtrl& list = dialog.GetParts().List();
        list.SetItemState(-1, 0, LVIS_SELECTED);
        for (const int item : items) {
            list.SetItemState(item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        }
    }
    // A click on row `row` of the part list: it alone is chosen.
    static void ClickRow(CDatabaseManagerDlg& dialog, int row) {
        CListCtrl& list = dialog.GetParts().List();
        auto* view = qobject_cast<QAbstractItemView*>(list.Widget());
        const QRect place = view->visualRect(list.Model().index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, place.center());
    }
    static bool Enabled(CDynamicWindowWithButtons& bar, UINT command) {
        return bar.IsButtonEnabled(bar.GetButtonNum(command));
    }
    // Whether each of the part bar's Delete, Move, Rename, Edit, Copy is enabled, as "DMREC" with
    // a dash for each disabled one.
    static std::string PartBar(CDatabaseManagerDlg& dialog) {
        std::string states;
        for (const auto& [command, letter] :
             {std::pair{ID_OBJECT_DELETE, 'D'}, std::pair{ID_OBJECT_MOVE, 'M'},
              std::pair{ID_OBJECT_RENAME, 'R'}, std::pair{ID_OBJECT_EDIT, 'E'},
              std::pair{ID_OBJECT_COPY, 'C'}}) {
            states += Enabled(dialog.GetPartBar(), command) ? letter : '-';
        }
        return states;
    }
    static std::vector<std::string> DimensionTexts(CDatabaseManagerDlg& dialog) {
        std::vector<std::string> texts;
        for (int i = 0; i < dialog.GetDimensions().GetCount(); ++i) {
            texts.push_back(
                static_cast<CDrwDimension*>(dialog.GetDimensions().GetAt(i))->m_strText.str());
        }
        return texts;
    }
};

TEST_F(DatabaseManagerTest, TheTreeTheListAndThePreviewShareTheRoomAtEverySize) {
    Run([](CDatabaseManagerDlg& dialog) {
        QWidget* tree = dialog.GetTreeBar().Widget();
        QWidget* parts = dialog.GetPartBar().Widget();
        QWidget* preview = dialog.GetPreview().Widget();
        const auto apart = [&] {
            EXPECT_LT(tree->geometry().right(), parts->geometry().left());
            EXPECT_LT(parts->geometry().right(), preview->geometry().left());
            EXPECT_LE(preview->geometry().right(), dialog.Widget()->width());
        };
        apart();
        const QRect before[] = {tree->geometry(), parts->geometry(), preview->geometry()};
        dialog.Widget()->resize(dialog.Widget()->size() + QSize(200, 100));
        apart();
        EXPECT_EQ(tree->geometry(), before[0].adjusted(0, 0, 60, 100));
        EXPECT_EQ(parts->geometry(), before[1].adjusted(60, 0, 120, 100));
        EXPECT_EQ(preview->geometry(), before[2].adjusted(120, 0, 200, 100));
        EXPECT_EQ(dialog.GetTreeBar().GetCaption(), "&Database");
        EXPECT_EQ(dialog.GetPartBar().GetButtonCount(), 6);
    });
}

TEST_F(DatabaseManagerTest, ChoosingACategoryAndAPartFillsTheListAndThePreviewInEachLibrary) {
    Run([&](CDatabaseManagerDlg& dialog) {
        ChooseCategory(dialog, master, "Resistors/SMD");
        EXPECT_EQ(dialog.GetCurrentDatabase(), DATABASETYPE_MASTER);
        ASSERT_EQ(dialog.GetParts().List().GetItemCount(), 8);
        ChooseParts(dialog, {2});
        EXPECT_EQ(dialog.GetLastLoadedID(), master->GetObjectID("R0603", "Footprint"));
        EXPECT_EQ(dialog.GetPreview().GetObjectCount(), 1);
        ChooseCategory(dialog, corporate, "QFN");
        EXPECT_EQ(dialog.GetCurrentDatabase(), DATABASETYPE_CORPORATE);
        ASSERT_EQ(dialog.GetParts().List().GetItemCount(), 3);
        ChooseParts(dialog, {0});
        EXPECT_EQ(dialog.GetLastLoadedID(), corporate->GetObjectID("QFN-16_3x3", "Footprint"));
        // With two chosen, the one named in the name field (the first) stays in the preview.
        ChooseParts(dialog, {0, 1});
        EXPECT_EQ(dialog.GetPreview().GetObjectCount(), 1);
        EXPECT_EQ(dialog.GetLastLoadedID(), corporate->GetObjectID("QFN-16_3x3", "Footprint"));
        // The user library's first part has the same id as the corporate one shown; it is
        // another part all the same.
        ChooseCategory(dialog, user, "Resistors/SMD");
        ChooseParts(dialog, {0});
        ASSERT_EQ(user->GetObjectID("R0603", "Footprint"),
                  corporate->GetObjectID("QFN-16_3x3", "Footprint"));
        ASSERT_NE(dialog.GetLoadedGroup(), nullptr);
        EXPECT_EQ(*dialog.GetLoadedGroup()->GetName(), "R0603");
    });
}

TEST_F(DatabaseManagerTest, ThePartBarFollowsEveryChangeOfTheChosenParts) {
    // R0805 becomes a part of a type no plug-in serves: it can be neither edited nor renamed.
    user->Execute(
        "INSERT INTO tObjectTypes (strDescription, strDocumentType, lBlobID, byVisibility) "
        "VALUES ('Board outline', 'Outline', 0, 0)");
    user->Execute(
        "UPDATE tObjects SET lObjectTypeID=(SELECT lObjectTypeID FROM tObjectTypes WHERE "
        "strDocumentType='Outline') WHERE strObjectName='R0805'");
    Run([&](CDatabaseManagerDlg& dialog) {
        dialog.GetParts().m_strDocTypeFilter = "Footprint|Outline|";
        ChooseCategory(dialog, user, "Resistors/SMD");
        ClickRow(dialog, 0);
        EXPECT_EQ(PartBar(dialog), "DMREC");
        ClickRow(dialog, 1);  // one part chosen in place of another
        EXPECT_EQ(PartBar(dialog), "DM---");
        ChooseParts(dialog, {0, 1});
        EXPECT_EQ(PartBar(dialog), "DM---");
        ChooseParts(dialog, {});
        EXPECT_EQ(PartBar(dialog), "-----");
        ClickRow(dialog, 0);
        EXPECT_EQ(PartBar(dialog), "DMREC");
    });
    // A new dialog, one part chosen again, now of the locked master library: the same number
    // of parts as the dialog before ended with, other states.
    Run([&](CDatabaseManagerDlg& dialog) {
        ChooseCategory(dialog, master, "Resistors/SMD");
        ChooseParts(dialog, {0});
        EXPECT_EQ(PartBar(dialog), "----C");
    });
    folder.Host().SetMasterEditAllowed(true);
    Run([&](CDatabaseManagerDlg& dialog) {
        ChooseCategory(dialog, master, "Resistors/SMD");
        ChooseParts(dialog, {0});
        EXPECT_EQ(PartBar(dialog), "DMREC");
    });
}

TEST_F(DatabaseManagerTest, TheTreeBarAllowsWhatTheChosenCategoryMayUndergo) {
    Run([&](CDatabaseManagerDlg& dialog) {
        CDynamicWindowWithButtons& bar = dialog.GetTreeBar();
        ChooseCategory(dialog, user, "Resistors");
        for (const UINT command :
             {ID_TREE_NEW, ID_TREE_RENAME, ID_TREE_DELETE, ID_TREE_MOVE, ID_TREE_COPY}) {
            EXPECT_TRUE(Enabled(bar, command)) << command;
        }
        EXPECT_FALSE(Enabled(bar, ID_TREE_ADD));  // no design open
        ChooseCategory(dialog, master, "ICs");
        for (const UINT command : {ID_TREE_NEW, ID_TREE_RENAME, ID_TREE_DELETE, ID_TREE_MOVE}) {
            EXPECT_FALSE(Enabled(bar, command)) << command;
        }
        EXPECT_TRUE(Enabled(bar, ID_TREE_COPY));
        ASSERT_TRUE(dialog.GetTree().SetObjectTreeID(1, DATABASETYPE_USER));
        EXPECT_FALSE(Enabled(bar, ID_TREE_COPY));
        EXPECT_FALSE(Enabled(bar, ID_TREE_RENAME));
        EXPECT_TRUE(Enabled(bar, ID_TREE_NEW));
    });
}

TEST_F(DatabaseManagerTest, APartThatCannotBeReadIsNotChosenAndThePreviewSaysSo) {
    DamageUserPart(2);  // R0805
    ASSERT_EQ(user->GetObjectID("R0805", "Footprint"), 2);
    Run([&](CDatabaseManagerDlg& dialog) {
        ChooseCategory(dialog, user, "Resistors/SMD");
        ChooseParts(dialog, {0});
        EXPECT_EQ(dialog.GetLastLoadedID(), user->GetObjectID("R0603", "Footprint"));
        ChooseParts(dialog, {1});
        EXPECT_EQ(dialog.GetLastLoadedID(), -1);
        EXPECT_EQ(dialog.GetPreview().GetObjectCount(), 0);
        EXPECT_EQ(dialog.GetLoadedGroup(), nullptr);
        const QImage picture = dialog.GetPreview().Widget()->grab().toImage();
        int lit = 0;
        for (int x = 0; x < picture.width(); ++x) {
            lit += picture.pixelColor(x, picture.height() / 2).lightness() > 150 ? 1 : 0;
        }
        EXPECT_GT(lit, 5);  // the message across the middle
    });
}

TEST_F(DatabaseManagerTest, DimensionsFollowTheUnitChosenAndTheKindsOfTheMenu) {
    std::vector<std::vector<std::string>> menus;
    CMenu::SetPopupRunner([&](const CMenu& popup, CPoint) {
        std::vector<std::string> checked;
        for (const CMenu::Item& item : popup.Items()) {
            if (item.checked) {
                checked.push_back(item.text.str());
            }
        }
        menus.push_back(checked);
        return static_cast<UINT>(ID_DIM_CLEAR_ALL);
    });
    Run([&](CDatabaseManagerDlg& dialog) {
        EXPECT_FALSE(dialog.GetDlgItem(IDC_UNITS)->IsWindowEnabled());
        ChooseCategory(dialog, master, "ICs/SOIC");
        ChooseParts(dialog, {2});  // SOIC-8
        EXPECT_EQ(dialog.GetDimensions().GetCount(), 0);
        Click(dialog, IDC_SHOW_DIMENSIONS);
        EXPECT_TRUE(dialog.GetDlgItem(IDC_UNITS)->IsWindowEnabled());
        const auto inMillimetres = DimensionTexts(dialog);
        ASSERT_FALSE(inMillimetres.empty());
        EXPECT_EQ(inMillimetres.front(), "6.95 mm");
        Choose(dialog, IDC_UNITS, "mil");
        EXPECT_EQ(DimensionTexts(dialog).front(), "273.6 mil");
        EXPECT_EQ(dialog.GetPreview().GetObjectCount(), 1 + dialog.GetDimensions().GetCount());
        dialog.OnDimensionMenu();
        EXPECT_EQ(dialog.GetDimensionMask(), 0u);
        EXPECT_EQ(DimensionTexts(dialog).size(), 0u);
    });
    CMenu::SetPopupRunner({});
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus[0], (std::vector<std::string>{"Horizontal Span", "Vertical Span",
                                                  "Horizontal Pitch", "Vertical Pitch", "Pads"}));
}

TEST_F(DatabaseManagerTest, ARightClickChoosesWhatItIsOnAndGraysWhatItMayNotDo) {
    std::vector<std::pair<std::string, bool>> shown;
    CMenu::SetPopupRunner([&](const CMenu& popup, CPoint) {
        for (const CMenu::Item& item : popup.Items()) {
            if (item.id != 0) {
                shown.emplace_back(item.text.str(), !item.grayed);
            }
        }
        return 0u;
    });
    Run([&](CDatabaseManagerDlg& dialog) {
        ChooseCategory(dialog, master, "Resistors/SMD");
        CListCtrl& list = dialog.GetParts().List();
        const QRect third =
            qobject_cast<QAbstractItemView*>(list.Widget())->visualRect(list.Model().index(2, 0));
        CPoint at{third.center().x(), third.center().y()};
        list.ClientToScreen(&at);
        dialog.OnContextMenu(&list, at);
        EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 2);
    });
    CMenu::SetPopupRunner({});
    EXPECT_EQ(shown, (std::vector<std::pair<std::string, bool>>{{"&New...", true},
                                                                {"&Copy...", true},
                                                                {"&Move...", false},
                                                                {"&Edit", false},
                                                                {"&Rename...", false},
                                                                {"&Delete", false}}));
}

}  // namespace

namespace {

using vaultry::test::FinishLabelEdit;
using vaultry::test::MessageBoxScript;

// Deleting asks once, naming the part or, with several chosen, asking for all of them; what
// goes, goes from the library.
TEST_F(DatabaseManagerTest, DeletedPartsGoAfterOneQuestionThatNamesWhatGoes) {
    MessageBoxScript boxes;
    boxes.Expect("Are you sure you want to delete this part  : R0603", IDCANCEL);
    boxes.Expect("Are you sure you want to delete this part  : R0603", IDOK);
    boxes.Expect("Delete selected parts from database?", IDOK);
    Run([&](CDatabaseManagerDlg& dialog) {
        ChooseCategory(dialog, user, "Resistors/SMD");
        ClickRow(dialog, 0);
        CDynamicWindowWithButtons& bar = dialog.GetPartBar();
        QTest::mouseClick(bar.Button(bar.GetButtonNum(ID_OBJECT_DELETE)), Qt::LeftButton);
        EXPECT_GT(user->GetObjectID("R0603", "Footprint"), 0);  // cancelled
        QTest::mouseClick(bar.Button(bar.GetButtonNum(ID_OBJECT_DELETE)), Qt::LeftButton);
        EXPECT_EQ(user->GetObjectID("R0603", "Footprint"), -1);
        EXPECT_EQ(dialog.GetParts().List().GetItemCount(), 1);
        ChooseCategory(dialog, corporate, "QFN");
        ChooseParts(dialog, {0, 1});
        dialog.OnCommand(ID_OBJECT_DELETE);
        EXPECT_EQ(dialog.GetParts().List().GetItemCount(), 1);
        EXPECT_EQ(corporate->GetObjectID("QFN-16_3x3", "Footprint"), -1);
    });
    EXPECT_TRUE(boxes.Done());
}

TEST_F(DatabaseManagerTest, NewAndRenamedCategoriesAndPartsReachTheLibrary) {
    Run([&](CDatabaseManagerDlg& dialog) {
        ChooseCategory(dialog, user, "Resistors");
        dialog.OnCommand(ID_TREE_NEW);
        FinishLabelEdit(dialog.GetTree(), "Thick film");
        EXPECT_NE(Category(user, "Resistors/Thick film"), -1);
        ChooseCategory(dialog, user, "Resistors/SMD");
        ClickRow(dialog, 1);
        dialog.OnCommand(ID_OBJECT_RENAME);
        FinishLabelEdit(dialog.GetParts().List(), "R0805-HV");
        EXPECT_GT(user->GetObjectID("R0805-HV", "Footprint"), 0);
        ChooseCategory(dialog, master, "ICs/SOIC");
        dialog.OnCommand(ID_TREE_NEW);  // the master library is locked: nothing is made
        EXPECT_EQ(Category(master, "ICs/SOIC/New Object-Group"), -1);
    });
}

}  // namespace

namespace {

class DatabaseManagerCopyTest : public DatabaseManagerTest {
protected:
    // The destination dialog, answered with category `treeID` of `tier`.
    void ExpectDestination(ModalScript& script, CMSAccessDBHandler* library, long treeID) {
        script.Expect(IDD_SELECT_DESTINATION, [library, treeID](CDialog& shown) {
            ASSERT_TRUE(static_cast<CSelectLibraryDestination&>(shown).GetTree().SetObjectTreeID(
                treeID, library->GetDatabaseType()));
            Click(shown, IDC_OK);
        });
    }
    static long TopOf(CMSAccessDBHandler* library) { return LibraryTree(*library).Root()->id; }
};

TEST_F(DatabaseManagerCopyTest, CategoriesCopyAndMoveWithTheirPartsAlsoBetweenLibraries) {
    MessageBoxScript boxes;
    boxes.Expect("Cannot copy to destination selected.");
    ModalScript script;
    script.Expect(IDD_DATABASE_MANAGER, [&](CDialog& shown) {
        auto& dialog = static_cast<CDatabaseManagerDlg&>(shown);
        ChooseCategory(dialog, user, "Resistors");
        ExpectDestination(script, corporate, TopOf(corporate));
        dialog.OnCommand(ID_TREE_COPY);
        EXPECT_NE(Category(corporate, "Resistors/SMD"), -1);
        EXPECT_GT(corporate->GetObjectID("R0603", "Footprint"), 0);
        ChooseCategory(dialog, user, "Resistors");
        ExpectDestination(script, user, Category(user, "Resistors/SMD"));
        dialog.OnCommand(ID_TREE_COPY);  // into its own child: refused, said
        ChooseCategory(dialog, user, "Resistors/THT");
        script.Expect(IDD_SELECT_DESTINATION, [this](CDialog& destination) {
            ASSERT_TRUE(static_cast<CSelectLibraryDestination&>(destination)
                            .GetTree()
                            .SetObjectTreeID(Category(master, "ICs"), DATABASETYPE_MASTER));
            MessageBoxScript locked;
            locked.Expect("master");
            Click(destination, IDC_OK);  // the locked master is refused in the dialog
            Click(destination, IDC_CANCEL);
        });
        dialog.OnCommand(ID_TREE_MOVE);
        EXPECT_NE(Category(user, "Resistors/THT"), -1);
        Click(shown, IDC_CANCEL);
    });
    CDatabaseManagerDlg manager;
    manager.DoModal();
    EXPECT_TRUE(boxes.Done());
}

TEST_F(DatabaseManagerCopyTest, PartsCopyAndMoveIntoTheCategoryChosenWhichTheTreeThenShows) {
    ModalScript script;
    script.Expect(IDD_DATABASE_MANAGER, [&](CDialog& shown) {
        auto& dialog = static_cast<CDatabaseManagerDlg&>(shown);
        ChooseCategory(dialog, user, "Resistors/SMD");
        ClickRow(dialog, 0);
        ExpectDestination(script, corporate, Category(corporate, "QFN"));
        dialog.OnCommand(ID_OBJECT_COPY);
        EXPECT_GT(corporate->GetObjectID("R0603", "Footprint"), 0);
        EXPECT_EQ(dialog.GetCurrentDatabase(), DATABASETYPE_CORPORATE);
        // The name in the field narrows the destination's parts to the copy.
        EXPECT_EQ(dialog.GetParts().List().GetItemText(0), "R0603");
        dialog.GetParts().NameField().SetWindowText("");
        EXPECT_EQ(dialog.GetParts().List().GetItemCount(), 4);
        ChooseCategory(dialog, user, "Resistors/SMD");
        ClickRow(dialog, 1);
        ExpectDestination(script, user, Category(user, "Resistors/THT"));
        dialog.OnCommand(ID_OBJECT_MOVE);
        EXPECT_EQ(dialog.GetParts().List().GetItemCount(), 1);  // R0805 now in THT
        Click(shown, IDC_CANCEL);
    });
    CDatabaseManagerDlg manager;
    manager.DoModal();
}

}  // namespace

namespace {

// The open design's selection goes as one part into the chosen category, through the store
// dialog; the category's list then shows it.
TEST_F(DatabaseManagerTest, AddStoresTheOpenDesignsSelectionIntoTheChosenCategory) {
    CDrwSubSheet sheet;
    sheet.SetDocType("Footprint");
    sheet.AddObject(
        MakeChipFootprint("R2010", "R1", Millimetres(4.0), Millimetres(0.9), Millimetres(0.95)),
        true);
    sheet.AddObject(
        MakeChipFootprint("R2512", "R2", Millimetres(5.0), Millimetres(0.9), Millimetres(0.95)));
    SetCurrentDesign(&sheet);
    ModalScript script;
    script.Expect(IDD_DATABASE_MANAGER, [&](CDialog& shown) {
        auto& dialog = static_cast<CDatabaseManagerDlg&>(shown);
        ChooseCategory(dialog, user, "Resistors/THT");
        script.Expect(IDD_STORE_OBJECTS, [](CDialog& store) {
            static_cast<CStoreObjectsDlg&>(store).GetParts().NameField().SetWindowText(
                "R2010-PAIR");
            Click(store, IDC_OK);
        });
        dialog.OnCommand(ID_TREE_ADD);
        EXPECT_GT(user->GetObjectID("R2010-PAIR", "Footprint"), 0);
        EXPECT_EQ(dialog.GetParts().List().GetItemText(0), "R2010-PAIR");
        Click(shown, IDC_CANCEL);
    });
    CDatabaseManagerDlg manager;
    manager.DoModal();
    SetCurrentDesign(nullptr);
}

}  // namespace
