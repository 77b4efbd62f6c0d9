// The library editor: every change it makes passes the rights on each row it touches first,
// and is made whole or not at all.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <memory>
#include <vector>

#include "access/ChangeRefused.h"
#include "access/LibraryEditor.h"
#include "access/LibraryTree.h"
#include "access/RightsGate.h"
#include "access/WrongPasswordPause.h"
#include "host/BuiltInPlugIns.h"
#include "host/FootprintGenerator.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/FaultInjector.h"
#include "tables/CRSObjects.h"
#include "tables/CRSUserTree.h"
#include "tests/support/OpenLibraries.h"

using vaultry::dao::FaultInjector;

class LibraryEditorTest : public vaultry::test::OnEngine<vaultry::test::FaultInjectedLibraries> {
protected:
    long Part(CMSAccessDBHandler* tier, long category, const char* name) {
        auto part =
            MakeChipFootprint(name, "R1", Millimetres(1.6), Millimetres(0.9), Millimetres(0.95));
        EXPECT_TRUE(tier->SaveObject(nullptr, part.get(), category, "Footprint", nullptr, nullptr));
        return tier->GetObjectID(name, "Footprint");
    }
    // "Name[parts]" of every category of `tier` below the top, in tree order.
    std::string Shape(CMSAccessDBHandler* tier) {
        const LibraryTree tree(*tier);
        std::string shape;
        for (const long id : tree.SubTree(tree.Root()->id)) {
            const LibraryCategory& category = *tree.Find(id);
            if (!category.IsRoot()) {
                shape += tree.PathOf(id) + "[" + std::to_string(category.parts) + "] ";
            }
        }
        return shape;
    }
    // Makes user 5 with a password and gives it `sql`'s rows.
    void GiveToProtectedUser(const char* sql) {
        user->Execute(
            "INSERT INTO tUserTree (lUserID, strUserName, strPassword, bMayWrite) VALUES (5, "
            "'other', 'theirs', 1)");
        user->Execute(sql);
        user->GetRSUserTree()->Close();  // a set sees the rows added behind it once reopened
    }

    int prompts = 0;
    RightsGate rights{[this](DATABASETYPE) {
        ++prompts;
        return std::optional<CString>("typed");
    }};
};

INSTANTIATE_TEST_SUITE_P(Engines, LibraryEditorTest, vaultry::test::kEveryEngine,
                         vaultry::test::EngineName);

// Cases that need the library files themselves.
class LibraryEditorTestOnFile : public LibraryEditorTest {};
INSTANTIATE_TEST_SUITE_P(Files, LibraryEditorTestOnFile, vaultry::test::kFileEngineOnly,
                         vaultry::test::EngineName);

TEST_P(LibraryEditorTest, CategoryPathsAreFoundOrMadeAndSiblingsNeverShareAName) {
    LibraryEditor editor(*user, rights);
    const long smd = editor.MakeCategoryPath(1, "Resistors/SMD");
    EXPECT_EQ(editor.MakeCategoryPath(1, "resistors//smd/"), smd);
    EXPECT_THROW(editor.MakeCategory(1, "RESISTORS"), ChangeRefused);
    EXPECT_THROW(editor.MakeCategory(1, ""), ChangeRefused);
    const long tht = editor.MakeCategoryPath(1, "Resistors/THT");
    EXPECT_THROW(editor.RenameCategory(tht, "smd"), ChangeRefused);
    editor.RenameCategory(smd, "Smd");  // its own name in another case is no clash
    EXPECT_THROW(editor.RenameCategory(1, "Top"), ChangeRefused);
    EXPECT_EQ(Shape(user), "User/Resistors[0] User/Resistors/Smd[0] User/Resistors/THT[0] ");
}

TEST_P(LibraryEditorTest, AMoveWithinALibraryRefusesItsOwnSubTreeAndCarriesTheLevels) {
    LibraryEditor editor(*user, rights);
    const long a = editor.MakeCategoryPath(1, "A");
    const long deep = editor.MakeCategoryPath(1, "A/B/C");
    const long other = editor.MakeCategoryPath(1, "Other");
    EXPECT_THROW(editor.MoveCategory(a, deep), ChangeRefused);
    EXPECT_THROW(editor.MoveCategory(a, 1), ChangeRefused);  // already there
    editor.MoveCategory(a, other);
    const LibraryTree tree(*user);
    EXPECT_EQ(tree.PathOf(deep), "User/Other/A/B/C");
    EXPECT_EQ(tree.Find(deep)->level, 4);
}

TEST_P(LibraryEditorTestOnFile, RemovingNeedsTheRightsOnEveryPartAndRemovesAllOrNothing) {
    LibraryEditor editor(*user, rights);
    const long a = editor.MakeCategoryPath(1, "A");
    const long b = editor.MakeCategoryPath(1, "A/B");
    Part(user, a, "P1");
    const long theirs = Part(user, b, "P2");
    GiveToProtectedUser(
        ("UPDATE tObjects SET lUserID=5 WHERE lObjectID=" + std::to_string(theirs)).c_str());
    EXPECT_THROW(editor.RemoveCategory(a), ChangeRefused);
    EXPECT_EQ(Shape(user), "User/A[1] User/A/B[1] ");
    EXPECT_EQ(prompts, 0);  // no password opens another user's property: nobody is asked

    user->Execute("UPDATE tObjects SET lUserID=0");
    FaultInjector::Arm(FaultInjector::Operation::kWrite, 1, SQLITE_IOERR_WRITE, true);
    EXPECT_THROW(editor.RemoveCategory(a), CDaoException);
    FaultInjector::Disarm();
    EXPECT_EQ(Shape(user), "User/A[1] User/A/B[1] ");
    editor.RemoveCategory(a);
    EXPECT_EQ(Shape(user), "");
    EXPECT_EQ(Count("tObjects"), 0);
}

TEST_P(LibraryEditorTest, APasswordIsAskedOnceItIsWantedAndDecides) {
    user->GetRSUserTree()->SetUserPassword(0, "typed");
    LibraryEditor editor(*user, rights);
    const long a = editor.MakeCategory(1, "A");
    EXPECT_EQ(prompts, 1);
    editor.MakeCategory(a, "B");
    EXPECT_EQ(prompts, 1);  // the typed password counts from then on
    user->GetRSUserTree()->SetUserPassword(0, "other");
    EXPECT_THROW(editor.RenameCategory(a, "C"), ChangeRefused);
    EXPECT_EQ(prompts, 2);
    RightsGate silent;
    EXPECT_THROW(LibraryEditor(*user, silent).SetPassword(0, ""), ChangeRefused);
    EXPECT_THROW(LibraryEditor(*GetAccessDB(DATABASETYPE_MASTER), rights).MakeCategory(1, "M"),
                 ChangeRefused);  // the host does not allow changing the master library
}

TEST_P(LibraryEditorTest, AWrongPasswordCostsAPauseThatGrowsAndNoneOtherwise) {
    std::vector<long> pauses;
    WrongPasswordPause::Reset();
    WrongPasswordPause::SetSleeper(
        [&pauses](std::chrono::milliseconds pause) { pauses.push_back(pause.count()); });
    user->GetRSUserTree()->SetUserPassword(0, "secret");
    for (int attempt = 0; attempt < 7; ++attempt) {
        RightsGate fresh{[](DATABASETYPE) { return std::optional<CString>("guess"); }};
        EXPECT_THROW(LibraryEditor(*user, fresh).MakeCategory(1, "A"), ChangeRefused);
    }
    RightsGate nothingTyped;
    EXPECT_THROW(LibraryEditor(*user, nothingTyped).MakeCategory(1, "A"), ChangeRefused);
    RightsGate right{[](DATABASETYPE) { return std::optional<CString>("secret"); }};
    LibraryEditor(*user, right).MakeCategory(1, "A");
    WrongPasswordPause::SetSleeper({});
    WrongPasswordPause::Reset();
    EXPECT_EQ(pauses, (std::vector<long>{250, 500, 1000, 2000, 4000, 4000, 4000}));
}

TEST_P(LibraryEditorTest, AMoveBetweenLibrariesTakesTheWholeSubTreeAlong) {
    LibraryEditor editor(*user, rights);
    const long a = editor.MakeCategoryPath(1, "A");
    Part(user, a, "P1");
    Part(user, editor.MakeCategoryPath(1, "A/B"), "P2");
    CMSAccessDBHandler* corporate = GetAccessDB(DATABASETYPE_CORPORATE);
    LibraryEditor into(*corporate, rights);
    into.MoveCategoryFrom(*user, a, 1);
    EXPECT_EQ(Shape(corporate), "Corporate database/A[1] Corporate database/A/B[1] ");
    EXPECT_EQ(Shape(user), "");
    EXPECT_EQ(Count("tObjects"), 0);  // no part is left behind without its category
    // A second copy would give the destination two siblings of one name.
    const long again = editor.MakeCategoryPath(1, "A");
    EXPECT_THROW(into.CopyCategory(*user, again, 1), ChangeRefused);
}

TEST_P(LibraryEditorTestOnFile, APartThatCannotLeaveItsLibraryAfterItsCopyIsNamed) {
    CMSAccessDBHandler* corporate = GetAccessDB(DATABASETYPE_CORPORATE);
    const long moved = Part(corporate, 1, "R0603");
    const long other = Part(corporate, 1, "R0805");
    ASSERT_TRUE(corporate->GetRSObjects()->FindObjectID(other));  // the set stands elsewhere
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(folder.PathOf(DATABASETYPE_CORPORATE).c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TRIGGER kept BEFORE DELETE ON tObjects BEGIN SELECT "
                           "RAISE(ABORT, 'kept'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    try {
        LibraryEditor(*user, rights).MovePartFrom(*corporate, moved, 1);
        FAIL() << "the move reported success";
    } catch (const ChangeRefused& failed) {
        EXPECT_EQ(failed.GetReason(), ChangeRefused::Reason::kFailed);
        EXPECT_NE(std::string(failed.what()).find("\"R0603\""), std::string::npos) << failed.what();
    }
    EXPECT_GT(user->GetObjectID("R0603", "Footprint"), 0);
    EXPECT_GT(corporate->GetObjectID("R0603", "Footprint"), 0);
}
