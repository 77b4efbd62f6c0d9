// Copying categories with their parts, and the ancestor cache.

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/BuiltInPlugIns.h"
#include "host/CallbackStatusBar.h"
#include "host/FootprintGenerator.h"
#include "platform/afx/UnicodeCase.h"
#include "platform/dao/CDaoRecordset.h"
#include "tables/CRSObjectTree.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/OpenLibraries.h"

class CategoryTreeTest : public vaultry::test::OnEngine<vaultry::test::OpenLibraries> {
protected:
    void SetUp() override {
        RegisterBuiltInPlugIns();
        OpenLibraries::SetUp();
    }
    CRSObjectTree& Tree(CMSAccessDBHandler* tier) { return *tier->GetRSObjectTree(); }
    void StoreParts(CMSAccessDBHandler* tier, long tree, int count, const char* prefix) {
        for (int i = 0; i < count; ++i) {
            auto part = MakeChipFootprint(CString(prefix) + std::to_string(i).c_str(), "R1",
                                          Millimetres(1.6), Millimetres(0.9), Millimetres(0.95));
            ASSERT_TRUE(tier->SaveObject(nullptr, part.get(), tree, "Footprint", nullptr, nullptr));
        }
    }
    long PartsIn(CMSAccessDBHandler* tier, long tree) {
        CDaoRecordset count(tier);
        CString sql;
        sql.Format("SELECT Count(*) FROM tObjects WHERE lObjectTreeID=%ld", tree);
        count.Open(dbOpenSnapshot, sql);
        return static_cast<long>(count.GetFieldValue(0).AsInt64());
    }
    std::vector<long> ChildrenOf(CMSAccessDBHandler* tier, long tree) {
        std::vector<long> ids;
        CString filter;
        filter.Format("lParentID=%ld AND lParentID<>lTreeID", tree);
        for (BOOL found = Tree(tier).FindFirst(filter); found;
             found = Tree(tier).FindNext(filter)) {
            ids.push_back(Tree(tier).m_lTreeID);
        }
        return ids;
    }
};

INSTANTIATE_TEST_SUITE_P(Engines, CategoryTreeTest, vaultry::test::kEveryEngine,
                         vaultry::test::EngineName);

TEST_P(CategoryTreeTest, ProgressShowsAboveTenParts) {
    std::vector<std::string> shown;
    CallbackStatusBar bar([&](const CallbackStatusBar::Progress& p) {
        if (!p.active) {
            shown.push_back(p.text.str() + " " + std::to_string(p.upper));
        }
    });
    folder.Settings().SetStatusBar(&bar);
    const long ten = Tree(user).AddChild(1, "Ten");
    const long eleven = Tree(user).AddChild(1, "Eleven");
    const long target = Tree(user).AddChild(1, "Target");
    StoreParts(user, ten, 10, "T");
    StoreParts(user, eleven, 11, "E");
    shown.clear();
    ASSERT_TRUE(user->CopyTree(ten, target, nullptr));
    EXPECT_TRUE(shown.empty());
    ASSERT_TRUE(user->CopyTree(eleven, target, nullptr));
    EXPECT_EQ(shown, std::vector<std::string>{"Copying database tree 11"});
    const auto copies = ChildrenOf(user, target);
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(PartsIn(user, copies[0]) + PartsIn(user, copies[1]), 21);
    folder.Settings().SetStatusBar(nullptr);
}

// The names of a batch of parts are asked at once; a copy renamed on the way takes a name the
// batch found free, which the part carrying it must then not take as well.
TEST_P(CategoryTreeTest, ACopiedCategoryNeverRepeatsANameThoughItAsksForABatchAtOnce) {
    CMSAccessDBHandler* corporate = GetAccessDB(DATABASETYPE_CORPORATE);
    StoreParts(corporate, 1, 1, "R");
    const long source = Tree(user).AddChild(1, "Source");
    StoreParts(user, source, 1, "r");          // taken in the corporate library, in other case
    StoreParts(user, source, 1, "Copy of R");  // free until the copy of r0 is named so
    StoreParts(user, source, 1, "S");
    ASSERT_TRUE(corporate->CopyTree(source, 1, user));
    std::set<std::string> folded;
    for (const COleVariant& name :
         corporate->QueryColumn("SELECT strObjectName FROM tObjects", {})) {
        folded.insert(vaultry::text::FoldedKey(name.AsText().str()));
    }
    EXPECT_EQ(folded, (std::set<std::string>{"r0", "copy of r0", "copy of copy of r0", "s0"}));
}

TEST_P(CategoryTreeTest, ARootIsNeverItsOwnChildAndNoCopyGoesIntoItself) {
    const long a = Tree(user).AddChild(1, "A");
    const long a1 = Tree(user).AddChild(a, "A1");
    CMSAccessDBHandler* corporate = GetAccessDB(DATABASETYPE_CORPORATE);
    ASSERT_TRUE(corporate->CopyTree(1, 1, user));  // the user root into the corporate root
    Tree(corporate).FindTreeID(1);
    const auto top = ChildrenOf(corporate, 1);
    ASSERT_EQ(top.size(), 1u);  // "User", holding A, holding A1
    EXPECT_EQ(ChildrenOf(corporate, top[0]).size(), 1u);

    EXPECT_FALSE(user->CopyTree(a, a1, nullptr));
    EXPECT_FALSE(user->CopyTree(a, a, nullptr));
    EXPECT_FALSE(user->CopyTree(1, a1, nullptr));
    EXPECT_FALSE(user->CopyTree(999, 1, nullptr));
    EXPECT_TRUE(user->CopyTree(a1, a, nullptr));  // a sibling copy is fine
}

TEST_P(CategoryTreeTest, ACopyIntoAMissingCategoryFailsAndSaysSo) {
    const long a = Tree(user).AddChild(1, "A");
    StoreParts(user, a, 2, "P");
    CMSAccessDBHandler* corporate = GetAccessDB(DATABASETYPE_CORPORATE);
    vaultry::test::MessageBoxScript boxes;
    boxes.Expect("Cannot copy to destination selected.");
    EXPECT_FALSE(corporate->CopyTree(a, 4242, user));
    EXPECT_TRUE(boxes.Done());
    EXPECT_EQ(ChildrenOf(corporate, 1).size(), 0u);
}

TEST_P(CategoryTreeTest, TheCacheListsEachCategorysAncestors) {
    const long b = Tree(user).AddChild(1, "B");
    const long c = Tree(user).AddChild(b, "C");
    const long d = Tree(user).AddChild(c, "D");
    user->CheckForCache();
    user->CheckForCache();  // the same table again
    auto rows = [&] {
        CDaoRecordset cache(user);
        cache.Open(dbOpenSnapshot, "SELECT * FROM tObjectTreeCache ORDER BY lTreeID");
        std::vector<std::string> text;
        std::string columns;
        for (int i = 0; i < cache.GetFieldCount(); ++i) {
            columns += std::string(i ? "," : "");
        }
        for (; !cache.IsEOF(); cache.MoveNext()) {
            std::string row;
            for (int i = 0; i < cache.GetFieldCount(); ++i) {
                const COleVariant value = cache.GetFieldValue(i);
                row += (i ? " " : "") +
                       (value.IsNull() ? std::string("-") : std::to_string(value.AsInt64()));
            }
            text.push_back(row);
        }
        return text;
    };
    CDaoRecordset shape(user);
    shape.Open(dbOpenSnapshot, "SELECT * FROM tObjectTreeCache");
    ASSERT_EQ(shape.GetFieldCount(), 5);  // lCache0..3, then lTreeID
    shape.Close();
    EXPECT_EQ(rows(),
              (std::vector<std::string>{"1 - - - 1", "1 2 - - 2", "1 2 3 - 3", "1 2 3 4 4"}));
    EXPECT_EQ(b, 2);
    EXPECT_EQ(d, 4);

    Tree(user).FindTreeID(c);  // C moves up under the root: its old ancestors go
    Tree(user).Edit();
    Tree(user).m_lParentID = 1;
    Tree(user).Update();
    user->UpdateCache();
    EXPECT_EQ(rows()[2], "1 3 - - 3");
    EXPECT_EQ(rows()[3], "1 3 4 - 4");
}
