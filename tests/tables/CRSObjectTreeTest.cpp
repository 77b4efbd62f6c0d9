#include "platform/dao/CDaoException.h"
#include "tables/CRSObjectTree.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/OpenLibraries.h"

class CRSObjectTreeTest : public vaultry::test::OnEngine<vaultry::test::OpenLibraries> {
protected:
    void SetUp() override {
        OpenLibraries::SetUp();
        if (IsSkipped()) {
            return;
        }
        tree().FindTreeID(1);
        root = tree().m_lTreeID;
    }
    CRSObjectTree& tree() { return *user->GetRSObjectTree(); }
    long LevelOf(long id) {
        EXPECT_TRUE(tree().FindTreeID(id));
        return tree().m_lLevel;
    }
    // Re-parents `id` under `parent` as the tree and drag and drop do: edit, then Update.
    void Move(long id, long parent) {
        ASSERT_TRUE(tree().FindTreeID(id));
        tree().Edit();
        tree().m_lParentID = parent;
        tree().Update();
    }
    long root = 0;
};

INSTANTIATE_TEST_SUITE_P(Engines, CRSObjectTreeTest, vaultry::test::kEveryEngine,
                         vaultry::test::EngineName);

TEST_P(CRSObjectTreeTest, AddChildFilesUnderAnExistingParentOnly) {
    const long before = Count("tObjectTree");
    EXPECT_EQ(tree().AddChild(999, "Orphan"), 0);
    EXPECT_EQ(Count("tObjectTree"), before);

    user->SetUserID(0, false);
    const long child = tree().AddChild(root, "Resistors");
    ASSERT_GT(child, root);
    EXPECT_EQ(tree().m_lTreeID, child);  // the new row is current
    EXPECT_EQ(tree().m_strName, "Resistors");
    EXPECT_EQ(tree().m_lLevel, 1);
    EXPECT_EQ(tree().m_lUserID, 0);
    EXPECT_EQ(tree().AddChild(child, "It's SMD"), child + 1);
    EXPECT_EQ(tree().m_lLevel, 2);
}

TEST_P(CRSObjectTreeTest, MovingACategoryRewritesItsWholeSubTree) {
    const long a = tree().AddChild(root, "A");
    const long b = tree().AddChild(root, "B");
    const long b1 = tree().AddChild(b, "B1");
    const long b11 = tree().AddChild(b1, "B11");
    const long b12 = tree().AddChild(b1, "B12");
    const long b111 = tree().AddChild(b11, "B111");
    Move(b, a);
    EXPECT_EQ(LevelOf(b), 2);
    EXPECT_EQ(LevelOf(b1), 3);
    EXPECT_EQ(LevelOf(b11), 4);
    EXPECT_EQ(LevelOf(b12), 4);
    EXPECT_EQ(LevelOf(b111), 5);
    Move(b1, root);
    EXPECT_EQ(LevelOf(b1), 1);
    EXPECT_EQ(LevelOf(b111), 3);
    EXPECT_EQ(LevelOf(a), 1);

    ASSERT_TRUE(tree().FindTreeID(root));  // editing the root touches no level
    tree().Edit();
    tree().m_strName = "User (renamed)";
    tree().Update();
    EXPECT_EQ(LevelOf(root), 0);
    EXPECT_EQ(LevelOf(b1), 1);

    EXPECT_TRUE(tree().Delete(b1));  // one row; its children stay
    EXPECT_FALSE(tree().FindTreeID(b1));
    EXPECT_EQ(LevelOf(b11), 2);
    EXPECT_FALSE(tree().Delete(b1));
}

TEST_P(CRSObjectTreeTest, AMoveIntoItsOwnSubTreeIsRefusedAndChangesNothing) {
    const long a = tree().AddChild(root, "A");
    const long a1 = tree().AddChild(a, "A1");
    const long a11 = tree().AddChild(a1, "A11");
    EXPECT_THROW(Move(a, a11), CDaoException);
    tree().CancelUpdate();
    EXPECT_TRUE(tree().FindTreeID(a));
    EXPECT_EQ(tree().m_lParentID, root);
    EXPECT_EQ(LevelOf(a11), 3);
}

TEST_P(CRSObjectTreeTest, ACircularTreeEndsTheLevelUpdateWithAnError) {
    const long a = tree().AddChild(root, "A");
    const long b = tree().AddChild(a, "B");
    const long c = tree().AddChild(b, "C");
    CString damage;
    damage.Format("UPDATE tObjectTree SET lParentID=%ld WHERE lTreeID=%ld", c, a);
    user->Execute(damage);  // A below C below B below A: damaged
    tree().Requery();
    try {
        Move(b, root);
        FAIL() << "a level update went through a circular tree";
    } catch (const CDaoException& e) {
        EXPECT_NE(e.GetErrorMessage().Find("damaged"), -1) << e.GetErrorMessage().GetString();
    }
    tree().CancelUpdate();
    ASSERT_TRUE(tree().FindTreeID(c));
    EXPECT_TRUE(tree().HasAsParent(b));
    EXPECT_TRUE(tree().HasAsParent(12345));  // circular: nothing may move in
}

TEST_P(CRSObjectTreeTest, HasAsParentWalksUpToTheRoot) {
    const long a = tree().AddChild(root, "A");
    const long a1 = tree().AddChild(a, "A1");
    const long a11 = tree().AddChild(a1, "A11");
    const long b = tree().AddChild(root, "B");
    ASSERT_TRUE(tree().FindTreeID(a11));
    EXPECT_TRUE(tree().HasAsParent(a1));
    EXPECT_TRUE(tree().HasAsParent(a));
    EXPECT_TRUE(tree().HasAsParent(root));
    EXPECT_FALSE(tree().HasAsParent(a11));
    EXPECT_FALSE(tree().HasAsParent(b));
    ASSERT_TRUE(tree().FindTreeID(root));
    EXPECT_FALSE(tree().HasAsParent(a));
}
