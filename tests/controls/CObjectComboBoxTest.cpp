// The part list on real libraries: which parts a category, a set of document types and the name
// field list, the marks each part carries, renames in place, copies and moves of the selection,
// and the icons of document types.

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

#include "access/ChangeRefused.h"
#include "controls/CIconRegister.h"
#include "controls/CObjectComboBox.h"
#include "host/CPlugInManager.h"
#include "platform/dao/DaoQuote.h"
#include "platform/ui/VirtualListModel.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/ModalScript.h"
#include "tests/support/StarterLibraries.h"

namespace {

using vaultry::test::FinishLabelEdit;
using vaultry::test::MessageBoxScript;

constexpr int kPlainPartImage = 1;
constexpr int kNoRightsOverlay = 1;

class CObjectComboBoxTest : public vaultry::test::StarterLibraries {
protected:
    void SetUp() override {
        StarterLibraries::SetUp();
        ASSERT_TRUE(parts.Create(CRect{0, 0, 300, 300}, &window, 6050));
        parts.m_strDocTypeFilter = "Footprint";
        parts.OnNotify([this](int code) { notified.push_back(code); });
        tester = std::make_unique<QAbstractItemModelTester>(
            &parts.List().Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    }

    static CString FilterOf(CMSAccessDBHandler* library, const std::string& path) {
        return LibraryTree::PartsFilter({Category(library, path)});
    }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (int i = 0; i < parts.List().GetItemCount(); ++i) {
            names.push_back(parts.List().GetItemText(i).str());
        }
        return names;
    }
    ListItemDisplay Display(int item) { return parts.List().Model().m_display(item); }
    // Gives the user library's part `name` the document type "Outline", which no built-in
    // plug-in serves.
    void MakeOutline(const char* name) {
        user->Execute(
            "INSERT INTO tObjectTypes (strDescription, strDocumentType, lBlobID, byVisibility) "
            "VALUES ('Board outline', 'Outline', 0, 0)");
        user->Execute(
            CString("UPDATE tObjects SET lObjectTypeID=(SELECT lObjectTypeID FROM "
                    "tObjectTypes WHERE strDocumentType='Outline') WHERE strObjectName=") +
            vaultry::dao::QuoteText(name));
    }
    void Type(const char* text) {
        parts.NameField().Widget()->setFocus();
        QTest::keyClicks(parts.NameField().Widget(), QString::fromUtf8(text));
    }
    void SelectOnly(std::initializer_list<int> items) {
        parts.List().SetItemState(-1, 0, LVIS_SELECTED);
        for (const int item : items) {
            parts.List().SetItemState(item, LVIS_SELECTED, LVIS_SELECTED);
        }
    }

    CObjectComboBox parts;
    std::vector<int> notified;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

TEST_F(CObjectComboBoxTest, ACategoryListsItsPartsOfTheWantedTypesInNameOrder) {
    parts.FillList(FilterOf(master, "Resistors/SMD"), DATABASETYPE_MASTER);
    EXPECT_EQ(Names(), (std::vector<std::string>{"R0201", "R0402", "R0603", "R0805", "R1206",
                                                 "R1210", "R2010", "R2512"}));
    parts.m_strDocTypeFilter = "Pad-Stack|CAD-Object|";
    parts.FillList(FilterOf(master, "Resistors/SMD"), DATABASETYPE_MASTER);
    EXPECT_EQ(parts.List().GetItemCount(), 0);
    parts.m_strDocTypeFilter = "Footprint";
    parts.m_eDatabaseForShow = DATABASETYPE_USER;
    parts.FillList(FilterOf(master, "Resistors/SMD"), DATABASETYPE_MASTER);
    EXPECT_EQ(parts.List().GetItemCount(), 0);
}

TEST_F(CObjectComboBoxTest, EveryPartShowsItsTypesIconAndTheMarkOfItsLibrary) {
    parts.FillList("", static_cast<DATABASETYPE>(0));
    ASSERT_EQ(parts.List().GetItemCount(), 2 + 3 + 40);
    const auto at = [&](int item) { return std::pair{Display(item).text.str(), Display(item)}; };
    EXPECT_EQ(at(0).first, "R0603");
    EXPECT_EQ(at(0).second.stateImage, 3);   // user
    EXPECT_EQ(at(2).second.stateImage, 2);   // corporate
    EXPECT_EQ(at(44).second.stateImage, 1);  // master
    const int footprint = Display(0).image;
    EXPECT_GT(footprint, kPlainPartImage);
    for (int item = 0; item < parts.List().GetItemCount(); ++item) {
        EXPECT_EQ(Display(item).image, footprint);
        EXPECT_EQ(Display(item).overlay, 0);
    }
    DATABASETYPE type = DATABASETYPE_USER;
    EXPECT_EQ(parts.GetObjectID(44, type), parts.GetEntry(44)->lObjectID);
    EXPECT_EQ(type, DATABASETYPE_MASTER);
    EXPECT_EQ(parts.GetObjectID(45, type), -1);
    EXPECT_EQ(parts.GetEntry(45), nullptr);
}

TEST_F(CObjectComboBoxTest, TypingFiltersByNameAndSelectsTheNameTypedInAnyCase) {
    parts.FillList(LibraryTree::PartsFilter(LibraryTree(*master).SubTree(Category(master, "ICs"))),
                   DATABASETYPE_MASTER);
    ASSERT_EQ(parts.List().GetItemCount(), 12);
    Type("soic");
    EXPECT_EQ(Names(), (std::vector<std::string>{"SOIC-14", "SOIC-16", "SOIC-8"}));
    EXPECT_FALSE(parts.HasSelection());
    Type("-8");
    EXPECT_EQ(Names(), std::vector<std::string>{"SOIC-8"});
    EXPECT_TRUE(parts.HasSelection());
    long id = 0;
    DATABASETYPE type = DATABASETYPE_USER;
    ASSERT_TRUE(parts.GetSelectedObjectID(id, type));
    EXPECT_EQ(id, master->GetObjectID("SOIC-8", "Footprint"));
    EXPECT_EQ(type, DATABASETYPE_MASTER);
    // Emptying the field shows every part again and leaves it empty, though a part was chosen.
    QTest::keyClick(parts.NameField().Widget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(parts.NameField().Widget(), Qt::Key_Delete);
    EXPECT_EQ(parts.NameField().GetWindowText(), "");
    EXPECT_EQ(parts.List().GetItemCount(), 12);
    Type("zz");
    EXPECT_EQ(parts.List().GetItemCount(), 0);
    EXPECT_GE(notified.size(), std::size_t{7});  // at least one per key
    EXPECT_EQ(std::count(notified.begin(), notified.end(), OBJECTCBO_SELCHANGE),
              static_cast<long>(notified.size()));
}

TEST_F(CObjectComboBoxTest, LandPatternTermsAmongTheNameNarrowByTheMeasuredPads) {
    parts.FillList(LibraryTree::PartsFilter(LibraryTree(*master).SubTree(Category(master, "ICs"))),
                   DATABASETYPE_MASTER);
    Type("pads:8");
    EXPECT_EQ(Names(), (std::vector<std::string>{"DIP-8", "SOIC-8"}));
    Type(" smd:yes");
    EXPECT_EQ(Names(), std::vector<std::string>{"SOIC-8"});
    QTest::keyClick(parts.NameField().Widget(), Qt::Key_A, Qt::ControlModifier);
    Type("so pitch:1.27 span:5.4+-0.5");
    EXPECT_EQ(Names(), (std::vector<std::string>{"SOIC-14", "SOIC-16", "SOIC-8"}));
    Type("1");  // span:5.4+-0.51 mm
    EXPECT_EQ(Names().size(), 3u);
    QTest::keyClick(parts.NameField().Widget(), Qt::Key_A, Qt::ControlModifier);
    Type("pads:9999");
    EXPECT_EQ(parts.List().GetItemCount(), 0);
}

TEST_F(CObjectComboBoxTest, AClickedPartNamesItselfInTheFieldWithoutFilteringTheList) {
    parts.FillList(FilterOf(master, "Resistors/SMD"), DATABASETYPE_MASTER);
    auto* view = qobject_cast<QTreeView*>(parts.List().Widget());
    ASSERT_NE(view, nullptr);
    const QRect third = view->visualRect(parts.List().Model().index(2, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(parts.NameField().GetWindowText(), "R0603");
    EXPECT_EQ(parts.List().GetItemCount(), 8);
    CString name;
    EXPECT_TRUE(parts.GetCurrentName(name));
    EXPECT_EQ(name, "R0603");
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(notified.back(), OBJECTCBO_DBLCLK);
}

TEST_F(CObjectComboBoxTest, ANameWithQuotesAndPatternCharactersFindsItself) {
    const char* odd = "R0603 \"O'Neil\" [5%]|*";
    RightsGate rights;
    LibraryEditor(*user, rights).RenamePart(user->GetObjectID("R0603", "Footprint"), odd);
    parts.FillList("", DATABASETYPE_USER);
    Type(odd);
    EXPECT_EQ(Names(), std::vector<std::string>{odd});
    parts.List().SetItemState(-1, 0, LVIS_SELECTED);
    long id = 0;
    auto type = static_cast<DATABASETYPE>(0);          // no tier given: the user library
    ASSERT_TRUE(parts.GetSelectedObjectID(id, type));  // by the name in the field
    EXPECT_EQ(id, user->GetObjectID(odd, "Footprint"));
    EXPECT_EQ(type, DATABASETYPE_USER);
}

TEST_F(CObjectComboBoxTest, AnotherUsersPartCarriesTheNoRightsMarkAndIsNotRenamed) {
    GiveToProtectedUser(user, "UPDATE tObjects SET lUserID=5 WHERE strObjectName='R0805'");
    parts.FillList(FilterOf(user, "Resistors/SMD"), DATABASETYPE_USER);
    ASSERT_EQ(Names(), (std::vector<std::string>{"R0603", "R0805"}));
    EXPECT_EQ(Display(0).overlay, 0);
    EXPECT_EQ(Display(1).overlay, kNoRightsOverlay);
    SelectOnly({1});
    EXPECT_FALSE(parts.HasRightsOnSelection());
    EXPECT_FALSE(parts.RenameSelected());
    SelectOnly({0, 1});
    EXPECT_FALSE(parts.HasRightsOnSelection());  // every part chosen must allow it
    // Of the two, only the own part moves.
    EXPECT_TRUE(parts.MoveSelectedTo(Category(user, "Resistors/THT"), DATABASETYPE_USER));
    const LibraryTree tree(*user);
    EXPECT_EQ(tree.Find(Category(user, "Resistors/SMD"))->parts, 1);
    EXPECT_EQ(tree.Find(Category(user, "Resistors/THT"))->parts, 1);
    EXPECT_GT(user->GetObjectID("R0805", "Footprint"), 0);
}

TEST_F(CObjectComboBoxTest, ARenameInPlaceRenamesThePartUnlessTheNameIsTaken) {
    parts.FillList(FilterOf(user, "Resistors/SMD"), DATABASETYPE_USER);
    SelectOnly({0});
    ASSERT_TRUE(parts.RenameSelected());
    FinishLabelEdit(parts.List(), "R0603-HD");
    EXPECT_GT(user->GetObjectID("R0603-HD", "Footprint"), 0);
    EXPECT_EQ(parts.List().GetItemText(0), "R0603-HD");
    MessageBoxScript boxes;
    boxes.Expect("The specified name already exists, please give a unique name.");
    SelectOnly({1});
    ASSERT_TRUE(parts.RenameSelected());
    FinishLabelEdit(parts.List(), "r0603-hd");
    EXPECT_TRUE(boxes.Done());
    EXPECT_EQ(parts.List().GetItemText(1), "R0805");
    EXPECT_GT(user->GetObjectID("R0805", "Footprint"), 0);
}

TEST_F(CObjectComboBoxTest, CopiedAndMovedPartsLeaveForTheirNewCategory) {
    parts.FillList(FilterOf(user, "Resistors/SMD"), DATABASETYPE_USER);
    SelectOnly({0, 1});
    EXPECT_TRUE(parts.IsTypeInSelection(DATABASETYPE_USER));
    EXPECT_FALSE(parts.IsTypeInSelection(DATABASETYPE_CORPORATE));
    EXPECT_TRUE(parts.CopySelectedTo(Category(corporate, "QFN"), DATABASETYPE_CORPORATE));
    EXPECT_GT(corporate->GetObjectID("R0805", "Footprint"), 0);
    // The list is filtered anew by the name of the first chosen part, now in the field.
    EXPECT_EQ(Names(), std::vector<std::string>{"R0603"});
    parts.SetObjectName("R0");
    SelectOnly({0, 1});
    EXPECT_TRUE(parts.MoveSelectedTo(Category(user, "Resistors/THT"), DATABASETYPE_USER));
    EXPECT_EQ(parts.List().GetItemCount(), 0);
    parts.FillList(FilterOf(user, "Resistors/THT"), DATABASETYPE_USER);
    EXPECT_EQ(Names(), std::vector<std::string>{"R0603"});
    parts.SetObjectName("R0");
    EXPECT_EQ(Names(), (std::vector<std::string>{"R0603", "R0805"}));
}

TEST_F(CObjectComboBoxTest, EnteringTheControlChoosesItsFirstPart) {
    parts.FillList(FilterOf(master, "Resistors/SMD"), DATABASETYPE_MASTER);
    QApplication::setActiveWindow(window.Widget());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.Widget()));
    parts.SetFocus();
    EXPECT_EQ(parts.List().GetNextItem(-1, LVNI_SELECTED), 0);
    EXPECT_EQ(parts.NameField().GetWindowText(), "R0201");
    EXPECT_EQ(CWnd::GetFocus(), &parts.NameField());
    EXPECT_EQ(notified, std::vector<int>{OBJECTCBO_SELCHANGE});
}

TEST_F(CObjectComboBoxTest, ATypeWithoutAnIconShowsAPlainPartNeverItsNeighboursIcon) {
    MakeOutline("R0805");
    parts.m_strDocTypeFilter = "Footprint|Outline|";
    parts.FillList(FilterOf(user, "Resistors/SMD"), DATABASETYPE_USER);
    ASSERT_EQ(Names(), (std::vector<std::string>{"R0603", "R0805"}));
    EXPECT_GT(Display(0).image, kPlainPartImage);
    EXPECT_EQ(Display(1).image, kPlainPartImage);
}

// A plug-in that serves a type without document information: its icon is the registered one.
class OutlinePlugIn : public CKV_DocInterface {
public:
    const CLayerDefinition* GetLayerDefinition() const override { return &m_layers; }
    const CColorDefinition* GetColorDefinition(int) const override { return nullptr; }
    CString GetDocTypeName() const override { return "Outline"; }
    int GetDocTypeCount() const override { return 1; }
    CString GetDocType(int) const override { return "Outline"; }

private:
    CLayerDefinition m_layers;
};

TEST_F(CObjectComboBoxTest, ARegisteredIconShowsForATypeThePlugInsDoNotDescribe) {
    static const CIconRegister outlineIcon("Outline", BuiltInPlugInModule(), 102);
    static const bool added = [] {
        GetPlugInManager()->AddPlugIn(std::make_unique<OutlinePlugIn>());
        return true;
    }();
    ASSERT_TRUE(added);
    MakeOutline("R0603");
    parts.m_strDocTypeFilter = "Footprint|Outline|";
    parts.FillList(FilterOf(user, "Resistors/SMD"), DATABASETYPE_USER);
    ASSERT_EQ(Names(), (std::vector<std::string>{"R0603", "R0805"}));
    EXPECT_GT(Display(0).image, kPlainPartImage);
    EXPECT_GT(Display(1).image, kPlainPartImage);
    EXPECT_NE(Display(0).image, Display(1).image);
}

TEST(IconRegisterTest, TheFirstRegistrationOfATypeStaysAndNamesCompareExactly) {
    HINSTANCE first = BuiltInPlugInModule();
    AddIconForDocType("Drill-Table", first, 7);
    const CIconRegister second("Drill-Table", nullptr, 8);
    HINSTANCE module = nullptr;
    UINT id = 0;
    ASSERT_TRUE(GetIconInfoForDocType("Drill-Table", module, id));
    EXPECT_EQ(module, first);
    EXPECT_EQ(id, 7u);
    HINSTANCE untouched = first;
    UINT kept = 99;
    EXPECT_FALSE(GetIconInfoForDocType("drill-table", untouched, kept));
    EXPECT_EQ(untouched, first);
    EXPECT_EQ(kept, 99u);
}

}  // namespace
