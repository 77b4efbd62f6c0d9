// "Get a part from the database" on the starter libraries: what it hands the host on OK, what
// it remembers and what Cancel leaves alone, taking a part by its name, and parts that cannot be
// read or whose type nobody serves, and dimensions that agree with the command line's.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QTest>
#include <cstdio>
#include <regex>

#include "access/CDatabaseRegistry.h"
#include "dialogs/CSelectObjectDlg.h"
#include "host/CDrwDimension.h"
#include "host/CDrwGroup.h"
#include "resources/VaultryStrings.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/ModalScript.h"
#include "tests/support/StarterLibraries.h"

namespace {

using vaultry::test::Choose;
using vaultry::test::Click;
using vaultry::test::MessageBoxScript;
using vaultry::test::ModalScript;

class SelectObjectTest : public vaultry::test::StarterLibraries {
protected:
    // Runs the dialog with `act` done in it; its result.
    INT_PTR Run(CSelectObjectDlg& dialog, const std::function<void(CSelectObjectDlg&)>& act) {
        ModalScript script;
        script.Expect(IDD_SELECT_OBJECT,
                      [&](CDialog& shown) { act(static_cast<CSelectObjectDlg&>(shown)); });
        return dialog.DoModal();
    }
    static void ChooseCategory(CSelectObjectDlg& dialog, CMSAccessDBHandler* library,
                               const std::string& path) {
        ASSERT_TRUE(
            dialog.GetTree().SetObjectTreeID(Category(library, path), library->GetDatabaseType()));
    }
    static void ClickRow(CSelectObjectDlg& dialog, int row, bool twice = false) {
        CListCtrl& list = dialog.GetParts().List();
        auto* view = qobject_cast<QAbstractItemView*>(list.Widget());
        const QPoint at = view->visualRect(list.Model().index(row, 0)).center();
        twice ? QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at)
              : QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    }
    static bool OkEnabled(CSelectObjectDlg& dialog) {
        return dialog.GetDlgItem(IDC_OK)->IsWindowEnabled();
    }
    // What the registry holds for the dialog's section.
    static std::pair<long, CString> Remembered() {
        CDatabaseRegistry registry;
        registry.SetSection("", "Get a part from the database");
        long tier = 0;
        const long treeID = registry.GetLastLocation(tier);
        return {treeID * 10 + tier, registry.GetLastObjectName()};
    }
};

TEST_F(SelectObjectTest, OkHandsOverThePartWithItsOwnTypeAndRemembersWhereItWas) {
    CSelectObjectDlg dialog;
    const INT_PTR result = Run(dialog, [&](CSelectObjectDlg& shown) {
        EXPECT_FALSE(OkEnabled(shown));
        ChooseCategory(shown, master, "ICs/QFN");
        ClickRow(shown, 1);
        EXPECT_TRUE(OkEnabled(shown));
        Click(shown, IDC_OK);
    });
    ASSERT_EQ(result, IDOK);
    ASSERT_NE(dialog.GetDrawGroup(), nullptr);
    EXPECT_EQ(*dialog.GetDrawGroup()->GetName(), "QFN-24_4x4");
    // The filter offered every type; the part is a footprint.
    EXPECT_EQ(dialog.GetObjectDocType(), "Footprint");
    EXPECT_EQ(Remembered(), std::make_pair(Category(master, "ICs/QFN") * 10 + DATABASETYPE_MASTER,
                                           CString("QFN-24_4x4")));
    std::unique_ptr<CDrwGroup> kept(dialog.GetDrawGroup());
    dialog.ClearDrawGroup();
    EXPECT_EQ(dialog.GetDrawGroup(), nullptr);
}

// Ids count in their own library: the user library's first part and the corporate one's
// share an id and are two parts.
TEST_F(SelectObjectTest, APartWithTheIdOfTheOneShownInAnotherLibraryIsReadAfresh) {
    ASSERT_EQ(user->GetObjectID("R0603", "Footprint"),
              corporate->GetObjectID("QFN-16_3x3", "Footprint"));
    CSelectObjectDlg dialog;
    ASSERT_EQ(Run(dialog,
                  [&](CSelectObjectDlg& shown) {
                      ChooseCategory(shown, user, "Resistors/SMD");
                      ClickRow(shown, 0);
                      ChooseCategory(shown, corporate, "QFN");
                      ClickRow(shown, 0);
                      Click(shown, IDC_OK);
                  }),
              IDOK);
    ASSERT_NE(dialog.GetDrawGroup(), nullptr);
    EXPECT_EQ(*dialog.GetDrawGroup()->GetName(), "QFN-16_3x3");
    EXPECT_EQ(dialog.GetLastLoadedTier(), DATABASETYPE_CORPORATE);
}

TEST_F(SelectObjectTest, CancelHandsOverNothingAndRemembersNothing) {
    const auto before = Remembered();
    CSelectObjectDlg dialog;
    EXPECT_EQ(Run(dialog,
                  [&](CSelectObjectDlg& shown) {
                      ChooseCategory(shown, user, "Resistors/SMD");
                      ClickRow(shown, 0);
                      Click(shown, IDC_CANCEL);
                  }),
              IDCANCEL);
    EXPECT_EQ(Remembered(), before);
}

// A host that knows where the part is opens on its category, whatever was used last.
TEST_F(SelectObjectTest, ThePartAskedForByIdIsChosenInTheCategoryAskedFor) {
    CSelectObjectDlg dialog;
    dialog.StartIn(DATABASETYPE_MASTER, Category(master, "ICs/SOIC"));
    dialog.Init("Footprint", master->GetObjectID("SOIC-14", "Footprint"));
    EXPECT_EQ(Run(dialog,
                  [&](CSelectObjectDlg& shown) {
                      // The part's name in the name field narrows the list to it.
                      EXPECT_EQ(shown.GetParts().List().GetItemCount(), 1);
                      EXPECT_TRUE(OkEnabled(shown));
                      Click(shown, IDC_OK);
                  }),
              IDOK);
    ASSERT_NE(dialog.GetDrawGroup(), nullptr);
    EXPECT_EQ(*dialog.GetDrawGroup()->GetName(), "SOIC-14");
    EXPECT_EQ(dialog.GetLastLoadedTier(), DATABASETYPE_MASTER);
}

TEST_F(SelectObjectTest, ANameGivenOrTypedTakesThePartWithoutAChosenRow) {
    CSelectObjectDlg dialog;
    dialog.Init("Footprint", CString("R0805"));
    const INT_PTR result = Run(dialog, [&](CSelectObjectDlg& shown) {
        // The last category was none: the list shows the user library's top, with its sub-tree
        // only when asked. The name stands in the field and finds the part in the user library.
        ChooseCategory(shown, user, "Resistors/SMD");
        shown.GetParts().SetObjectName("r0805");
        EXPECT_EQ(shown.GetLastLoadedID(), user->GetObjectID("R0805", "Footprint"));
        EXPECT_TRUE(OkEnabled(shown));
        Click(shown, IDC_OK);
    });
    EXPECT_EQ(result, IDOK);
    ASSERT_NE(dialog.GetDrawGroup(), nullptr);
    EXPECT_EQ(*dialog.GetDrawGroup()->GetName(), "R0805");
}

TEST_F(SelectObjectTest, ANameThatIsNotThereIsSaidAndTheDialogStays) {
    CSelectObjectDlg dialog;
    dialog.Init("Footprint", CString("R9999"));
    MessageBoxScript boxes;
    boxes.Expect("There is no Footprint in this database with that name.");
    Run(dialog, [&](CSelectObjectDlg& shown) {
        ChooseCategory(shown, user, "Resistors/SMD");
        shown.GetParts().SetObjectName("R9999");
        shown.OnOK();
        EXPECT_TRUE(shown.IsRunning());
        Click(shown, IDC_CANCEL);
    });
    EXPECT_TRUE(boxes.Done());
}

// Asked for every type, the message names the types, not the filter's text.
TEST_F(SelectObjectTest, ANameNotThereAmongEveryTypeIsSaidWithTheTypesNames) {
    CSelectObjectDlg dialog;
    MessageBoxScript boxes;
    boxes.Expect("There is no Footprint, CAD-Object or Pad-Stack in this database with that name.");
    Run(dialog, [&](CSelectObjectDlg& shown) {
        ChooseCategory(shown, user, "Resistors/SMD");
        shown.GetParts().SetObjectName("R9999");
        shown.OnOK();
        Click(shown, IDC_CANCEL);
    });
    EXPECT_TRUE(boxes.Done());
}

TEST_F(SelectObjectTest, APartThatCannotBeReadOrIsOfNoServedTypeIsNotTaken) {
    DamageUserPart(2);  // R0805
    CSelectObjectDlg dialog;
    Run(dialog, [&](CSelectObjectDlg& shown) {
        ChooseCategory(shown, user, "Resistors/SMD");
        ClickRow(shown, 0);
        EXPECT_TRUE(OkEnabled(shown));
        ClickRow(shown, 1, true);  // R0805, unreadable: a double click does not take it
        EXPECT_TRUE(shown.IsRunning());
        EXPECT_EQ(shown.GetLastLoadedID(), -1);
        EXPECT_FALSE(OkEnabled(shown));
        EXPECT_EQ(shown.GetDrawGroup(), nullptr);
        Click(shown, IDC_CANCEL);
    });
}

}  // namespace

namespace {

// The dimension texts `vaultry show` prints of part `name`, in `unit`, on the libraries of the
// settings file `config`.
std::vector<std::string> DimensionsShownByTheCommandLine(const std::string& config,
                                                         const std::string& name,
                                                         const std::string& unit) {
    const std::string command = std::string(VAULTRY_EXECUTABLE) + " --config '" + config +
                                "' --json show '" + name + "' --unit " + unit;
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            output.append(buffer, got);
        }
        EXPECT_EQ(pclose(pipe), 0) << command;
    }
    const std::string list = output.substr(output.find("\"dimensions\":"));
    static const std::regex text(R"re("text":"([^"]*)")re");
    std::vector<std::string> texts;
    for (auto it = std::sregex_iterator(list.begin(), list.end(), text);
         it != std::sregex_iterator(); ++it) {
        texts.push_back((*it)[1]);
    }
    return texts;
}

std::vector<std::string> DimensionsInThePreview(const CPreviewDialog& dialog) {
    std::vector<std::string> texts;
    for (int i = 0; i < dialog.GetDimensions().GetCount(); ++i) {
        texts.push_back(
            static_cast<CDrwDimension*>(dialog.GetDimensions().GetAt(i))->m_strText.str());
    }
    return texts;
}

}  // namespace

TEST_F(SelectObjectTest, ThePreviewsDimensionsAreTheOnesTheCommandLineShows) {
    const std::string config = folder.Dir().File("settings.ini");
    CSelectObjectDlg dialog;
    dialog.Init("Footprint", CString("SOIC-8"));
    Run(dialog, [&](CSelectObjectDlg& shown) {
        for (const std::string name : {"SOIC-8", "DIP-8", "TSSOP-20"}) {
            ChooseCategory(shown, master, "ICs/" + name.substr(0, name.find('-')));
            shown.GetParts().SetObjectName(name.c_str());
            Click(shown, IDC_SHOW_DIMENSIONS);
            shown.OnDimCheckAll();  // every kind, as the command line prints them
            for (const char* unit : {"mm", "mil"}) {
                Choose(shown, IDC_UNITS, unit);
                const auto inPreview = DimensionsInThePreview(shown);
                EXPECT_FALSE(inPreview.empty()) << name;
                EXPECT_EQ(inPreview, DimensionsShownByTheCommandLine(config, name, unit))
                    << name << " in " << unit;
            }
            Click(shown, IDC_SHOW_DIMENSIONS);
        }
        Click(shown, IDCANCEL);
    });
}
