// New and Edit of the Database Manager on the starter libraries: the host's sheet window they
// open (and the manager giving way only when one opened), and storing from that window through
// the store dialog of one part, as a new part or over the part that was edited.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QTest>
#include <QTimer>

#include "dialogs/CDatabaseManagerDlg.h"
#include "dialogs/CNewLibraryPart.h"
#include "dialogs/CStoreObjectDlg.h"
#include "dialogs/PartSheets.h"
#include "host/CDrwSubSheet.h"
#include "host/CurrentDesign.h"
#include "host/FootprintGenerator.h"
#include "host/ui/CPartSheetWnd.h"
#include "resources/VaultryStrings.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/ModalScript.h"
#include "tests/support/StarterLibraries.h"

namespace {

using vaultry::test::Click;
using vaultry::test::MessageBoxScript;
using vaultry::test::ModalScript;

class PartSheetsTest : public vaultry::test::StarterLibraries {
protected:
    // Runs the Database Manager on category `path` of the user library, with row `row` chosen
    // (-1: none), and sends `command`, which may open the dialogs `more` expects.
    void Command(ModalScript& script, const std::string& path, int row, UINT command,
                 const std::function<void()>& more = {}) {
        script.Expect(IDD_DATABASE_MANAGER, [&, this](CDialog& shown) {
            auto& dialog = static_cast<CDatabaseManagerDlg&>(shown);
            ASSERT_TRUE(dialog.GetTree().SetObjectTreeID(Category(user, path), DATABASETYPE_USER));
            if (row >= 0) {
                CListCtrl& list = dialog.GetParts().List();
                auto* view = qobject_cast<QAbstractItemView*>(list.Widget());
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                                  view->visualRect(list.Model().index(row, 0)).center());
            }
            dialog.OnCommand(command);
            if (dialog.IsRunning()) {
                Click(shown, IDC_CANCEL);
                stayedOpen = true;
            }
        });
        if (more) {
            more();
        }
        CDatabaseManagerDlg dialog;
        dialog.DoModal();
    }

    bool stayedOpen = false;
};

TEST_F(PartSheetsTest, EditOpensThePartOnASheetAndStoringItReplacesItWhereItIs) {
    PartSheets sheets;
    ModalScript script;
    Command(script, "Resistors/SMD", 0, ID_OBJECT_EDIT);
    EXPECT_FALSE(stayedOpen);
    CPartSheetWnd* sheetWindow = sheets.Last();
    ASSERT_NE(sheetWindow, nullptr);
    EXPECT_EQ(sheetWindow->GetWindowText(), "R0603 - Footprint");
    EXPECT_EQ(sheetWindow->Sheet().GetObjectCount(), 1);
    EXPECT_EQ(GetDrwSubSheet(), &sheetWindow->Sheet());  // the host's design now
    EXPECT_TRUE(sheets.AnyShown());

    const long before = user->GetObjectID("R0603", "Footprint");
    script.Expect(IDD_STORE_OBJECT, [&](CDialog& shown) {
        auto& store = static_cast<CStoreObjectDlg&>(shown);
        EXPECT_EQ(store.GetParts().NameField().GetWindowText(), "R0603");
        ASSERT_TRUE(
            store.GetTree().SetObjectTreeID(Category(user, "Resistors/THT"), DATABASETYPE_USER));
        MessageBoxScript boxes;
        boxes.Expect("Overwrite it?", IDYES);
        Click(shown, IDC_OK);
    });
    sheetWindow->Store();
    EXPECT_EQ(user->GetObjectID("R0603", "Footprint"), before);
    EXPECT_EQ(LibraryTree(*user).Find(Category(user, "Resistors/SMD"))->parts, 2);
    // The program waits while a sheet is open, and goes on when the user closed the last.
    QTimer::singleShot(0, [sheetWindow] { sheetWindow->Close(); });
    sheets.WaitWhileShown();
    EXPECT_FALSE(sheets.AnyShown());
}

TEST_F(PartSheetsTest, NewOpensAnEmptySheetOfTheTypeChosenAndStoresWhatItGets) {
    PartSheets sheets;
    ModalScript script;
    Command(script, "Resistors", -1, ID_OBJECT_NEW, [&] {
        script.Expect(IDD_NEW_PART, [](CDialog& shown) {
            auto& types = static_cast<CNewLibraryPart&>(shown);
            types.GetList().SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED,
                                         LVIS_SELECTED | LVIS_FOCUSED);
            Click(shown, IDC_OK);
        });
    });
    EXPECT_FALSE(stayedOpen);
    CPartSheetWnd* sheetWindow = sheets.Last();
    ASSERT_NE(sheetWindow, nullptr);
    EXPECT_EQ(sheetWindow->GetWindowText(), "New part - Footprint");
    EXPECT_FALSE(sheetWindow->IsStoreEnabled());

    sheetWindow->Sheet().AddObject(
        MakeChipFootprint("", "R1", Millimetres(3.2), Millimetres(1.6), Millimetres(1.5)), true);
    sheetWindow->Refresh();
    ASSERT_TRUE(sheetWindow->IsStoreEnabled());
    script.Expect(IDD_STORE_OBJECT, [&](CDialog& shown) {
        auto& store = static_cast<CStoreObjectDlg&>(shown);
        ASSERT_TRUE(
            store.GetTree().SetObjectTreeID(Category(user, "Resistors/THT"), DATABASETYPE_USER));
        store.GetParts().NameField().SetWindowText("R1206");
        Click(shown, IDC_OK);
    });
    sheetWindow->Store();
    EXPECT_EQ(sheetWindow->GetWindowText(), "R1206 - Footprint");
    EXPECT_EQ(LibraryTree(*user).Find(Category(user, "Resistors/THT"))->parts, 1);
    EXPECT_GT(user->GetObjectID("R1206", "Footprint"), 0);
}

TEST_F(PartSheetsTest, WithoutAHostThatOpensSheetsTheManagerStaysOpen) {
    ModalScript script;
    Command(script, "Resistors/SMD", 0, ID_OBJECT_EDIT);
    EXPECT_TRUE(stayedOpen);

    // A part that cannot be read opens no sheet, and the user hears why.
    PartSheets sheets;
    DamageUserPart(user->GetObjectID("R0805", "Footprint"));
    CREATE_SUBSHEET_REQUEST request;
    request.pszDocType = "Footprint";
    PART_REFERENCE part{user->GetObjectID("R0805", "Footprint"), DATABASETYPE_USER, 0};
    request.pPart = &part;
    MessageBoxScript boxes;
    boxes.Expect("\"R0805\" could not be read");
    EXPECT_EQ(EventCreateEmptyProjectSubsheet().DoEvent(request, 0), 0);
    EXPECT_EQ(sheets.Last(), nullptr);
    request.pszDocType = "Schematic";  // no plug-in serves it
    request.pPart = nullptr;
    EXPECT_EQ(sheets.Open(request), 0);
}

}  // namespace
