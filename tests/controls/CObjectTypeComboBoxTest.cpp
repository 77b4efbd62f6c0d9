// The document-type filter on real libraries: what it offers, under which text, what the
// chosen entry filters by, and that filling it leaves the libraries as they were.

#include <gtest/gtest.h>

#include "access/LibraryFiles.h"
#include "controls/CObjectTypeComboBox.h"
#include "tables/CRSObjectTypes.h"
#include "tests/support/StarterLibraries.h"

namespace {

class CObjectTypeComboBoxTest : public vaultry::test::StarterLibraries {
protected:
    void SetUp() override {
        StarterLibraries::SetUp();
        ASSERT_TRUE(types.Create(CRect{0, 0, 200, 24}, &window));
    }

    std::vector<std::string> Entries() {
        std::vector<std::string> entries;
        for (int i = 0; i < types.GetCount(); ++i) {
            CString text;
            types.GetLBText(i, text);
            entries.push_back(text.str());
        }
        return entries;
    }
    CString Chosen() {
        CString docTypes = "untouched";
        types.GetObjectDocType(docTypes);
        return docTypes;
    }
    // Gives the user library's type rows of `docType` the visibility `visibility`, making the
    // row where there is none.
    void SetVisibility(const char* docType, int visibility) {
        CString sql;
        sql.Format(
            "INSERT INTO tObjectTypes (strDescription, strDocumentType, lBlobID, byVisibility) "
            "SELECT '%s', '%s', 0, 0 WHERE NOT EXISTS (SELECT * FROM tObjectTypes WHERE "
            "strDocumentType='%s')",
            docType, docType, docType);
        user->Execute(sql);
        sql.Format("UPDATE tObjectTypes SET byVisibility=%d WHERE strDocumentType='%s'", visibility,
                   docType);
        user->Execute(sql);
        user->GetRSObjectTypes()->Close();  // a set sees the rows changed behind it once reopened
    }

    CObjectTypeComboBox types;
};

TEST_F(CObjectTypeComboBoxTest, EachTypeIsOfferedUnderItsDescriptionAfterAllTypes) {
    ASSERT_TRUE(types.Init(DATABASETYPE_MASTER, "Pad-Stack"));
    EXPECT_EQ(Entries(), (std::vector<std::string>{"All types", "Footprint",
                                                   "Mechanical CAD object", "Pad stack"}));
    EXPECT_EQ(Chosen(), "Pad-Stack");
    types.SetCurSel(0);
    EXPECT_EQ(Chosen(), "Footprint|CAD-Object|Pad-Stack|");
    ASSERT_TRUE(types.Init(DATABASETYPE_MASTER, "Schematic"));
    int index = -1;
    ASSERT_TRUE(types.GetCurSel(index));
    EXPECT_EQ(index, 0);
    types.SetCurSel(-1);
    EXPECT_FALSE(types.GetCurSel(index));
    CString none;
    EXPECT_FALSE(types.GetObjectDocType(none));
}

TEST_F(CObjectTypeComboBoxTest, FillingTheFilterWritesNothingToAnyLibrary) {
    constexpr DATABASETYPE kTiers[] = {DATABASETYPE_MASTER, DATABASETYPE_CORPORATE,
                                       DATABASETYPE_USER};
    const auto typeRows = [&] {
        std::vector<long> rows;
        for (const DATABASETYPE tier : kTiers) {
            for (const auto& [table, count] :
                 LibraryFiles::Inspect(folder.PathOf(tier).c_str()).rowCounts) {
                if (table == "tObjectTypes") {
                    rows.push_back(count);
                }
            }
        }
        return rows;
    };
    const std::vector<long> before = typeRows();
    ASSERT_EQ(before, (std::vector<long>{1, 1, 1}));  // footprints only, so far
    for (const DATABASETYPE tier : kTiers) {
        ASSERT_TRUE(types.Init(tier, "Footprint"));
        EXPECT_EQ(types.GetCount(), 4);
    }
    EXPECT_EQ(typeRows(), before);
}

TEST_F(CObjectTypeComboBoxTest, HiddenTypesShowOnlyToWhoMayChangeTheMasterLibrary) {
    SetVisibility("Pad-Stack", ZB_VISIBILITY_HIDDEN);
    SetVisibility("CAD-Object", ZB_VISIBILITY_HIDDEN);
    ASSERT_TRUE(types.Init(DATABASETYPE_USER, "Footprint"));
    EXPECT_EQ(Entries(), std::vector<std::string>{"Footprint"});  // one type: no "All types"
    EXPECT_EQ(Chosen(), "Footprint");
    folder.Host().SetMasterEditAllowed(true);
    ASSERT_TRUE(types.Init(DATABASETYPE_USER, "Footprint"));
    EXPECT_EQ(Entries().size(), 4u);
}

TEST_F(CObjectTypeComboBoxTest, StoreOnlyTypesShowWhereThingsAreStoredOrWhenAskedFor) {
    SetVisibility("CAD-Object", ZB_VISIBILITY_STORE_ONLY);
    ASSERT_TRUE(types.Init(DATABASETYPE_USER, ""));
    EXPECT_EQ(Entries(), (std::vector<std::string>{"All types", "Footprint", "Pad stack"}));
    types.AddRequest("CAD-Object");
    types.AddRequest("CAD-Object");
    ASSERT_TRUE(types.Init(DATABASETYPE_USER, ""));
    EXPECT_EQ(Entries().size(), 4u);
    types.ClearRequests();
    types.SetGetDialog(false);
    ASSERT_TRUE(types.Init(DATABASETYPE_USER, ""));
    EXPECT_EQ(Entries().size(), 4u);
}

}  // namespace
