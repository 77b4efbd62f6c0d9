// Storing a design from the desktop program: the parts of an interchange file through the
// store dialog into a library, all of them or none when the store fails midway; and the
// Database Manager giving way to a part's sheet and coming back.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QApplication>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include "apps/vaultry-manager/DesignStore.h"
#include "apps/vaultry-manager/ManagerCommands.h"
#include "apps/vaultry/Interchange.h"
#include "apps/vaultry/Session.h"
#include "dialogs/CDatabaseManagerDlg.h"
#include "dialogs/LibraryDialogs.h"
#include "host/BuiltInPlugIns.h"
#include "host/CPlugInManager.h"
#include "host/CurrentDesign.h"
#include "host/FootprintGenerator.h"
#include "resources/VaultryStrings.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/ModalScript.h"
#include "tests/support/StarterLibraries.h"

namespace {

using vaultry::dao::FaultInjector;
using vaultry::test::Choose;
using vaultry::test::Click;
using vaultry::test::MessageBoxScript;
using vaultry::test::ModalScript;

class DesignStoreTest : public vaultry::test::StarterLibraries {
protected:
    void SetUp() override {
        StarterLibraries::SetUp();
        vaultry::cli::InterchangeFile file;
        const CKV_DocInterface* footprints = GetPlugInManager()->GetDocInterface("Footprint");
        file.definitions["Footprint"].layers = *footprints->GetLayerDefinition();
        file.definitions["Footprint"].colours = *footprints->GetColorDefinition(0);
        for (const char* name : {"R2010", "R2512", "C1210"}) {
            file.parts.push_back({"Footprint", "",
                                  MakeChipFootprint(name, "R1", Millimetres(3), Millimetres(0.9),
                                                    Millimetres(0.95))});
        }
        design = folder.Dir().File("design.xml");
        vaultry::cli::WriteInterchange(file, design);
    }
    int StoreWithOk(const std::string& selection = "") {
        ModalScript script;
        script.Expect(IDD_STORE_OBJECTS, [](CDialog& shown) { Click(shown, IDC_OK); });
        vaultry::manager::OpenDesign open({design, selection});
        return vaultry::manager::StoreDesign(open.Sheet());
    }
    long UserParts() { return Count("tObjects"); }

    std::string design;
};

TEST_F(DesignStoreTest, TheTickedPartsGoIntoTheChosenLibraryWhereTheManagerThenOpens) {
    ModalScript script;
    script.Expect(IDD_STORE_OBJECTS, [](CDialog& shown) {
        Choose(shown, IDC_TARGET_DATABASE, "Corporate database");
        Click(shown, IDC_OK);
    });
    vaultry::manager::OpenDesign open({design, ""});
    EXPECT_EQ(GetDrwSubSheet(), &open.Sheet());  // the host's open design now
    EXPECT_EQ(vaultry::manager::StoreDesign(open.Sheet()), 0);
    EXPECT_GT(corporate->GetObjectID("R2512", "Footprint"), 0);
    EXPECT_GT(corporate->GetObjectID("C1210", "Footprint"), 0);
    script.Expect(IDD_DATABASE_MANAGER, [this](CDialog& shown) {
        DATABASETYPE tier = DATABASETYPE_USER;
        EXPECT_EQ(static_cast<CDatabaseManagerDlg&>(shown).GetTree().GetSelectedID(tier),
                  LibraryTree(*corporate).Root()->id);
        EXPECT_EQ(tier, DATABASETYPE_CORPORATE);
        Click(shown, IDC_CANCEL);
    });
    CDatabaseManagerDlg manager;
    manager.DoModal();
}

TEST_F(DesignStoreTest, TheSelectionGoesAsOnePartAndMustBeOneOfTheDesigns) {
    const long before = UserParts();
    EXPECT_EQ(StoreWithOk("c1210"), 0);
    EXPECT_EQ(UserParts(), before + 1);
    EXPECT_GT(user->GetObjectID("C1210", "Footprint"), 0);
    EXPECT_THROW(vaultry::manager::OpenDesign({design, "R9999"}), vaultry::cli::CommandError);
}

TEST_F(DesignStoreTest, AStoreThatFailsMidwayLeavesTheLibraryAsItWas) {
    const long before = UserParts();
    MessageBoxScript boxes;
    boxes.AllowAny();
    FaultInjector::Arm(FaultInjector::Operation::kWrite, 3, SQLITE_IOERR_WRITE, true);
    EXPECT_EQ(StoreWithOk(), 1);
    FaultInjector::Disarm();
    EXPECT_FALSE(boxes.Shown().empty());  // the user was told
    EXPECT_EQ(UserParts(), before);
    EXPECT_EQ(user->GetObjectID("R2010", "Footprint"), -1);
}

// Edit gives way to the part's sheet; once the user closes it, the Database Manager is back,
// and closing that ends the program's run.
TEST_F(DesignStoreTest, TheDatabaseManagerComesBackOnceTheEditedPartsSheetIsClosed) {
    InstallLibraryDialogs();
    ModalScript script;
    script.Expect(IDD_DATABASE_MANAGER, [this](CDialog& shown) {
        auto& dialog = static_cast<CDatabaseManagerDlg&>(shown);
        ASSERT_TRUE(
            dialog.GetTree().SetObjectTreeID(Category(user, "Resistors/SMD"), DATABASETYPE_USER));
        dialog.GetParts().List().SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED,
                                              LVIS_SELECTED | LVIS_FOCUSED);
        dialog.OnCommand(ID_OBJECT_EDIT);
        ASSERT_FALSE(dialog.IsRunning());
    });
    // What the user does on the sheet once the program runs its event loop for it: close it.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QThread::currentThread()->loopLevel() == 0) {
            return;  // still in the Database Manager
        }
        for (QWidget* sheet : QApplication::topLevelWidgets()) {
            if (sheet->isVisible() && sheet->windowTitle() == "R0603 - Footprint") {
                sheet->close();
            }
        }
    });
    closer.start(10);
    bool cameBack = false;
    script.Expect(IDD_DATABASE_MANAGER, [&](CDialog& shown) {
        cameBack = true;
        Click(shown, IDC_CANCEL);
    });
    EXPECT_EQ(vaultry::manager::ShowDatabaseManager(), 0);
    EXPECT_TRUE(cameBack);
}

}  // namespace
