#include <gtest/gtest.h>

#include <vector>

#include "platform/dao/CDaoException.h"
#include "platform/dao/CDaoRecordset.h"
#include "platform/dao/CDaoTableDef.h"
#include "platform/dao/DaoQuote.h"
#include "platform/dao/DaoTransaction.h"
#include "tests/platform/dao/TestPartSet.h"
#include "tests/support/Engines.h"

using vaultry::dao::QuoteText;
using vaultry::test::CTestPartSet;

class CDaoRecordsetTest : public vaultry::test::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        path = NewLocation("parts.zblib");
        database.Create(path.c_str());
        vaultry::test::CreatePartsTable(database);
    }

    // Runs `sql` (statements parted by ';') on a second connection, as another process would.
    void FromOtherProcess(const std::string& sql) {
        CDaoDatabase other;
        other.Open(path.c_str());
        for (std::size_t start = 0; start < sql.size();) {
            const std::size_t end = std::min(sql.find(';', start), sql.size());
            other.Execute(sql.substr(start, end - start).c_str());
            start = end + 1;
        }
    }

    std::vector<CString> Names(CTestPartSet& set) {
        std::vector<CString> names;
        for (set.Requery(); !set.IsEOF(); set.MoveNext()) {
            names.push_back(set.m_strName);
        }
        return names;
    }

    std::string path;
    CDaoDatabase database;
};

INSTANTIATE_TEST_SUITE_P(Engines, CDaoRecordsetTest, vaultry::test::kEveryEngine,
                         vaultry::test::EngineName);

TEST_P(CDaoRecordsetTest, NamesWithQuotesAreStoredAndFoundAgain) {
    CTestPartSet set(&database);
    set.Add("O'Brien \"plug\"", 1);
    set.Add("plain", 1);
    EXPECT_TRUE(set.FindFirst("strName=" + QuoteText("O'Brien \"plug\"")));
    EXPECT_EQ(set.m_strName, "O'Brien \"plug\"");
    EXPECT_FALSE(set.FindFirst("strName=" + QuoteText("O'Brien")));
    EXPECT_EQ(set.m_strName, "O'Brien \"plug\"");  // a failed find does not move
    EXPECT_TRUE(set.FindFirst("strName LIKE \"*" + CString("'B") + "*\""));
}

TEST_P(CDaoRecordsetTest, TextIgnoresCaseInEqualityInLikeAndInOrder) {
    CTestPartSet set(&database);
    for (const char* name : {"ømega", "Beta", "alpha", "ØRSTED", "Øm"}) {
        set.Add(name, 0);
    }
    EXPECT_TRUE(set.FindFirst("strName='ØMEGA'"));
    EXPECT_EQ(set.m_strName, "ømega");
    EXPECT_TRUE(set.FindFirst("strName IN('x','BETA')"));
    EXPECT_EQ(set.m_strName, "Beta");
    EXPECT_TRUE(set.FindFirst("strName LIKE '*rst*'"));
    EXPECT_EQ(set.m_strName, "ØRSTED");
    set.m_strSort = "strName";
    EXPECT_EQ(Names(set), (std::vector<CString>{"alpha", "Beta", "Øm", "ømega", "ØRSTED"}));
    set.m_strSort = "strName DESC";
    set.m_strFilter = "strName LIKE 'ø*'";
    EXPECT_EQ(Names(set), (std::vector<CString>{"ØRSTED", "ømega", "Øm"}));
}

TEST_P(CDaoRecordsetTest, AddedRowsJoinTheEndAndKeysNeverRepeat) {
    CTestPartSet set(&database);
    set.Open();
    EXPECT_TRUE(set.IsBOF());
    EXPECT_TRUE(set.IsEOF());
    EXPECT_THROW(set.MoveFirst(), CDaoException);
    const long first = set.Add("a", 0);
    const long second = set.Add("b", 0);
    EXPECT_GT(second, first);
    // After Update the row current before AddNew is current again.
    set.MoveFirst();
    set.AddNew();
    set.m_strName = "c";
    set.Update();
    EXPECT_EQ(set.m_strName, "a");
    set.MoveLast();
    EXPECT_EQ(set.m_strName, "c");
    const long third = set.m_lPartID;
    set.Delete();
    EXPECT_GT(set.Add("d", 0), third);  // a deleted key is never handed out again
}

// A program learns the key of a row it added by moving to the last modified bookmark; the walk
// goes on from a bookmarked row in set order, whether it was read with the set or added since.
TEST_P(CDaoRecordsetTest, BookmarksReturnToRowsAndWalksGoOnFromThem) {
    CTestPartSet set(&database);
    set.Add("a", 1);
    set.Add("b", 2);
    set.Add("c", 3);
    set.m_strSort = "lOwner DESC";
    set.Requery();
    EXPECT_TRUE(set.CanBookmark());
    EXPECT_THROW(set.GetLastModifiedBookmark(), CDaoException);
    set.MoveNext();
    const COleVariant b = set.GetBookmark();
    set.AddNew();
    set.m_strName = "d";
    set.m_lOwner = 4;
    set.Update();
    EXPECT_EQ(set.m_strName, "b");
    set.SetBookmark(set.GetLastModifiedBookmark());
    EXPECT_EQ(set.m_strName, "d");
    EXPECT_GT(set.m_lPartID, 3);
    set.MoveFirst();
    set.Edit();
    set.m_lOwner = 5;
    set.Update();
    set.SetBookmark(b);
    EXPECT_EQ(set.m_strName, "b");
    set.MoveNext();
    EXPECT_EQ(set.m_strName, "a");
    set.MoveNext();
    EXPECT_EQ(set.m_strName, "d");  // added through the set: after its main part
    set.SetBookmark(set.GetLastModifiedBookmark());
    EXPECT_EQ(set.m_strName, "c");
    EXPECT_EQ(set.m_lOwner, 5);
    set.MovePrev();
    EXPECT_TRUE(set.IsBOF());

    FromOtherProcess("DELETE FROM tParts WHERE strName='b'");
    EXPECT_THROW(set.SetBookmark(b), CDaoException);
    EXPECT_THROW(set.SetBookmark(COleVariant()), CDaoException);
    CDaoRecordset snapshot(&database);
    snapshot.Open(dbOpenSnapshot, "SELECT Count(*) FROM tParts");
    EXPECT_FALSE(snapshot.CanBookmark());
    EXPECT_THROW(snapshot.GetBookmark(), CDaoException);
}

TEST_P(CDaoRecordsetTest, MembershipIsFixedButValuesAreCurrent) {
    CTestPartSet set(&database);
    set.Add("a", 1);
    set.Add("b", 1);
    set.Requery();
    FromOtherProcess(
        "INSERT INTO tParts (strName, lOwner) VALUES ('late', 1);"
        "UPDATE tParts SET lOwner=9 WHERE strName='b'");
    set.MoveNext();
    EXPECT_EQ(set.m_strName, "b");
    EXPECT_EQ(set.m_lOwner, 9);
    set.MoveNext();
    EXPECT_TRUE(set.IsEOF());
    EXPECT_FALSE(set.FindFirst("strName='late'"));
    EXPECT_EQ(Names(set), (std::vector<CString>{"a", "b", "late"}));
}

// A set its first statement reads whole holds those rows alone; one that has grown since reads
// as many rows again when requeried, and holds them alone in turn.
TEST_P(CDaoRecordsetTest, ASetFoundWholeHoldsItsRowsAndARequeryFindsThoseJoinedSince) {
    CTestPartSet set(&database);
    set.Add("a", 1);
    set.Add("b", 2);
    set.m_strFilter = "strName='a'";
    const auto walked = [&set] {
        std::vector<long> owners;
        for (set.MoveFirst(); !set.IsEOF(); set.MoveNext()) {
            owners.push_back(set.m_lOwner);
        }
        return owners;
    };
    set.Requery();
    FromOtherProcess(
        "UPDATE tParts SET strName='a' WHERE strName='b';"
        "INSERT INTO tParts (strName, lOwner) VALUES ('a', 3)");
    EXPECT_EQ(walked(), std::vector<long>{1});
    set.Requery();
    FromOtherProcess("INSERT INTO tParts (strName, lOwner) VALUES ('a', 4)");
    EXPECT_EQ(walked(), (std::vector<long>{1, 2, 3}));
    set.Requery();
    EXPECT_EQ(walked(), (std::vector<long>{1, 2, 3, 4}));
}

// A walk reads rows ahead with their keys. Inside a transaction it may show them as read until
// this connection writes; outside one, another program's change to a row ahead must show.
TEST_P(CDaoRecordsetTest, RowsReadAheadNeverHideAChange) {
    CTestPartSet set(&database);
    for (int i = 0; i < 40; ++i) {
        set.Add(CString(("p" + std::to_string(100 + i)).c_str()), 1);
    }
    set.m_strSort = "strName";
    set.Requery();
    for (int i = 0; i < 3; ++i) {
        set.MoveNext();  // the next batch of keys, and their rows, is read by now
    }
    FromOtherProcess("UPDATE tParts SET lOwner=7 WHERE strName='p105'");
    set.MoveNext();
    set.MoveNext();
    ASSERT_EQ(set.m_strName, "p105");
    EXPECT_EQ(set.m_lOwner, 7);

    vaultry::dao::DaoTransaction writing(database);
    set.Requery();
    for (int i = 0; i < 3; ++i) {
        set.MoveNext();
    }
    database.Execute("UPDATE tParts SET lOwner=8 WHERE strName='p106'");
    database.Execute("DELETE FROM tParts WHERE strName='p107'");
    for (int i = 0; i < 3; ++i) {
        set.MoveNext();
    }
    ASSERT_EQ(set.m_strName, "p106");
    EXPECT_EQ(set.m_lOwner, 8);
    set.MoveNext();
    EXPECT_EQ(set.m_strName, "p108");  // the deleted row is passed over

    // A find learns with its row that no other row meets it; a row changed since to meet it is
    // still found next.
    ASSERT_TRUE(set.FindFirst("lOwner=8"));
    EXPECT_FALSE(set.FindNext("lOwner=8"));
    database.Execute("UPDATE tParts SET lOwner=8 WHERE strName='p130'");
    ASSERT_TRUE(set.FindNext("lOwner=8"));
    EXPECT_EQ(set.m_strName, "p130");

    // A row added is stood on as its insert returned it, until anything is written after.
    for (const long owner : {1L, 2L}) {
        set.AddNew();
        set.m_strName = "p200";
        set.m_lOwner = owner;
        set.Update();
        if (owner == 2) {
            database.Execute("UPDATE tParts SET lOwner=9 WHERE lOwner=2");
        }
        set.SetBookmark(set.GetLastModifiedBookmark());
        EXPECT_EQ(set.m_strName, "p200");
        EXPECT_GT(set.m_lPartID, 40);
        EXPECT_EQ(set.m_lOwner, owner == 1 ? 1 : 9);
    }
    // A file's insert returns nothing: the row is taken as given, unless a trigger may have
    // changed it on the way (a server returns the row it stored).
    if (!OnServer()) {
        for (const bool trigger : {false, true}) {
            if (trigger) {
                database.Execute(
                    "CREATE TRIGGER tOwnerSet AFTER INSERT ON tParts BEGIN UPDATE tParts SET "
                    "lOwner=42 WHERE rowid=new.rowid; END");
            }
            set.AddNew();
            set.m_strName = "p300";
            set.m_lOwner = 3;
            set.m_blbData.SetSize(2);
            set.Update();
            set.SetBookmark(set.GetLastModifiedBookmark());
            EXPECT_EQ(set.m_lPartID, trigger ? 44 : 43);
            EXPECT_EQ(set.m_strName, "p300");
            EXPECT_EQ(set.m_lOwner, trigger ? 42 : 3);
            EXPECT_EQ(set.m_blbData.GetSize(), 2);
        }
    }
}

// A value read along with the rows belongs to the row as it stands, or is not given.
TEST_P(CDaoRecordsetTest, AValueReadAlongIsTheRowsOwnOrNone) {
    CTestPartSet set(&database);
    for (int i = 0; i < 20; ++i) {
        set.Add(CString(("p" + std::to_string(100 + i)).c_str()), i);
    }
    const auto along = [&set]() -> long {
        const COleVariant* value = set.GetAlongValue();
        return value != nullptr ? static_cast<long>(value->AsInt64()) : -1;
    };
    set.SetReadAlong("lOwner + 1000");
    set.m_strSort = "strName";
    set.Requery();
    EXPECT_EQ(along(), 1000);
    ASSERT_TRUE(set.FindFirst("strName='p110'"));
    EXPECT_EQ(along(), 1010);
    {
        vaultry::dao::DaoTransaction reading(database, vaultry::dao::DaoTransaction::Mode::kRead);
        set.Requery();
        for (int i = 0; i < 3; ++i) {
            set.MoveNext();  // rows read a batch ahead, as they stand while nothing is written
        }
        EXPECT_EQ(along(), 1003);
    }

    vaultry::dao::DaoTransaction writing(database);
    set.Requery();
    for (int i = 0; i < 3; ++i) {
        set.MoveNext();
    }
    database.Execute("UPDATE tParts SET lOwner=77 WHERE strName='p105'");
    set.MoveNext();
    set.MoveNext();
    ASSERT_EQ(set.m_strName, "p105");
    EXPECT_EQ(set.m_lOwner, 77);
    EXPECT_TRUE(along() == -1 || along() == 1077);  // read again; never as it was
    set.Edit();
    set.m_lOwner = 5;
    set.Update();
    EXPECT_EQ(along(), -1);
    set.SetReadAlong(nullptr);
    set.Requery();
    EXPECT_EQ(along(), -1);
}

// A requery of the same statement reuses the set's cursor; it must still read the set anew.
TEST_P(CDaoRecordsetTest, RequeryReadsTheSetAnewEachTime) {
    CTestPartSet set(&database);
    set.Add("a", 1);
    set.Add("b", 2);  // both joined the set as rows added through it
    FromOtherProcess(
        "DELETE FROM tParts WHERE strName='a';"
        "INSERT INTO tParts (strName, lOwner) VALUES ('c', 1)");
    set.Requery();
    EXPECT_EQ(set.m_strName, "b");
    EXPECT_EQ(set.GetRecordCount(), 2);  // b is counted once, no longer also as an added row
    set.MoveLast();
    EXPECT_EQ(set.m_strName, "c");

    set.m_strFilter = "lOwner=7";
    set.Requery();
    EXPECT_TRUE(set.IsEOF());
    set.Add("d", 7);  // added to a set that was empty when requeried
    FromOtherProcess("INSERT INTO tParts (strName, lOwner) VALUES ('e', 7)");
    set.MoveFirst();
    EXPECT_EQ(set.m_strName, "d");
    set.MoveNext();
    EXPECT_TRUE(set.IsEOF());  // e came after the requery and from elsewhere
    set.Requery();
    EXPECT_EQ(set.GetRecordCount(), 2);
    set.m_strFilter.Empty();
    EXPECT_EQ(Names(set), (std::vector<CString>{"b", "c", "d", "e"}));
}

// The key the database assigns is left out of inserts; which column that is follows the schema.
TEST_P(CDaoRecordsetTest, InsertsFollowAChangedKeyColumn) {
    CTestPartSet set(&database);
    set.Add("a", 1);
    set.Close();
    database.Execute("DROP TABLE tParts");
    CDaoTableDef table(&database);
    table.Create("tParts");
    table.CreateField("lPartID", dbLong, 4);
    table.CreateField("strName", dbText, 255);
    table.CreateField("lOwner", dbLong, 4);
    table.CreateField("blbData", dbLongBinary, 0);
    table.Append();
    set.Open();
    set.AddNew();
    set.m_lPartID = 42;
    set.m_strName = "b";
    set.Update();
    set.MoveFirst();
    EXPECT_EQ(set.m_lPartID, 42);
}

TEST_P(CDaoRecordsetTest, UpdateWritesOnlyChangedFields) {
    CTestPartSet set(&database);
    set.Add("a", 1);
    set.MoveFirst();
    set.Edit();
    set.m_strName = "renamed";
    FromOtherProcess("UPDATE tParts SET lOwner=7");
    set.Update();
    EXPECT_EQ(set.m_strName, "renamed");
    EXPECT_EQ(set.m_lOwner, 7);  // the owner this set never changed is not written back
    EXPECT_THROW(set.Update(), CDaoException);
}

TEST_P(CDaoRecordsetTest, MovesAndDeletesWalkTheSetInOrder) {
    CTestPartSet set(&database);
    for (int i = 0; i < 40; ++i) {
        set.Add(CString(static_cast<char>('A' + i % 26), 1) + std::to_string(i).c_str(), i % 3);
    }
    set.m_strFilter = "lOwner=1";
    set.m_strSort = "strName DESC";
    set.Requery();
    std::vector<CString> forward;
    for (; !set.IsEOF(); set.MoveNext()) {
        forward.push_back(set.m_strName);
    }
    ASSERT_EQ(forward.size(), 13u);
    EXPECT_EQ(set.GetRecordCount(), 13);
    std::vector<CString> backward;
    for (set.MoveLast(); !set.IsBOF(); set.MovePrev()) {
        backward.push_back(set.m_strName);
    }
    EXPECT_EQ(std::vector<CString>(backward.rbegin(), backward.rend()), forward);
    EXPECT_THROW(set.MovePrev(), CDaoException);

    set.MoveFirst();
    set.MoveNext();
    set.Delete();
    set.MoveNext();
    EXPECT_EQ(set.m_strName, forward[2]);
    EXPECT_EQ(set.GetRecordCount(), 12);
    int found = 0;
    for (BOOL more = set.FindFirst("strName LIKE 'B*'"); more;
         more = set.FindNext("strName LIKE 'B*'")) {
        EXPECT_EQ(set.m_strName, "B1");  // B27 belongs to owner 0, outside the set
        ++found;
    }
    EXPECT_EQ(found, 1);
}

TEST_P(CDaoRecordsetTest, FieldValuesKeepTheirKindAndBlobsRoundTrip) {
    CTestPartSet set(&database);
    set.Open();
    set.AddNew();
    set.m_strName = "blob";
    for (int i = 0; i < 10000; ++i) {
        set.m_blbData.Add(static_cast<BYTE>(i));
    }
    set.Update();
    set.Requery();
    EXPECT_EQ(set.m_blbData.GetSize(), 10000);
    EXPECT_EQ(set.m_blbData[9999], static_cast<BYTE>(9999));
    EXPECT_TRUE(set.GetFieldValue("[strName]").IsText());
    EXPECT_EQ(set.GetFieldValue("lOwner").vt, VT_I4);
    EXPECT_TRUE(set.GetFieldValue(2).IsNumber());
    EXPECT_THROW(set.GetFieldValue("nope"), CDaoException);
    set.Close();
    EXPECT_FALSE(set.IsOpen());
    set.Close();
}

TEST_P(CDaoRecordsetTest, AggregatesAreReadAsSnapshots) {
    CTestPartSet parts(&database);
    parts.Add("a", 0);
    parts.Add("b", 0);
    CDaoRecordset max(&database);
    max.Open(dbOpenSnapshot, "SELECT Max(tParts.lPartID) AS MaxOfID FROM tParts");
    max.MoveLast();
    EXPECT_EQ(max.GetFieldValue(0).AsInt64(), 2);
    EXPECT_FALSE(max.CanUpdate());
    EXPECT_THROW(max.AddNew(), CDaoException);

    CDaoRecordset version(&database);
    EXPECT_THROW(version.Open(AFX_DAO_USE_DEFAULT_TYPE, "SELECT [Version] FROM [SYS_INFO]"),
                 CDaoException);
}

TEST_P(CDaoRecordsetTest, AForwardOnlySetReadsRowByRowAndOnlyForward) {
    CTestPartSet parts(&database);
    for (const char* name : {"c", "A", "b"}) {
        parts.Add(name, 7);
    }
    CTestPartSet walk(&database);
    walk.m_strFilter = "lOwner=7";
    walk.m_strSort = "strName";
    walk.Open(dbOpenForwardOnly);
    std::vector<CString> names;
    for (; !walk.IsEOF(); walk.MoveNext()) {
        names.push_back(walk.m_strName);
    }
    EXPECT_EQ(names, (std::vector<CString>{"A", "b", "c"}));
    EXPECT_EQ(walk.GetRecordCount(), 3);
    EXPECT_THROW(walk.MoveFirst(), CDaoException);
    EXPECT_THROW(walk.MovePrev(), CDaoException);
    EXPECT_THROW(walk.AddNew(), CDaoException);
    // A requery runs the statement again: rows another writer added since are read too.
    FromOtherProcess("INSERT INTO tParts (strName, lOwner) VALUES ('d', 7)");
    names.clear();
    for (walk.Requery(); !walk.IsEOF(); walk.MoveNext()) {
        names.push_back(walk.m_strName);
    }
    EXPECT_EQ(names, (std::vector<CString>{"A", "b", "c", "d"}));
    walk.Close();

    CTestPartSet none(&database);
    none.m_strFilter = "lOwner=99";
    none.Open(dbOpenForwardOnly);
    EXPECT_TRUE(none.IsEOF());
    EXPECT_TRUE(none.IsBOF());
}

TEST_P(CDaoRecordsetTest, TextLongerThanItsFieldIsRefused) {
    CTestPartSet set(&database);
    set.Open();
    set.AddNew();
    set.m_strName = CString('x', 256);
    EXPECT_THROW(set.Update(), CDaoException);
    set.CancelUpdate();
    set.Add(CString('y', 255), 0);
    EXPECT_EQ(set.GetRecordCount(), 1);
}

// Walking a set must visit exactly the rows SQL's ORDER BY gives, in that order, whatever the
// mix of directions, ties and nulls: the walk finds each next row by the sort values alone.
TEST_P(CDaoRecordsetTest, WalksFollowTheSortThroughTiesNullsAndMixedDirections) {
    CTestPartSet set(&database);
    for (int i = 0; i < 60; ++i) {
        set.Add(CString(static_cast<char>('a' + i % 5), 1 + i % 3), i % 4);
    }
    database.Execute("UPDATE tParts SET lOwner=NULL WHERE lPartID % 7 = 0");
    database.Execute("UPDATE tParts SET strName=NULL WHERE lPartID % 11 = 0");
    for (const char* sort : {"lOwner DESC, strName", "strName, lOwner DESC", "lOwner, strName DESC",
                             "strName DESC, lOwner DESC"}) {
        CDaoRecordset expected(&database);
        expected.Open(dbOpenSnapshot, CString("SELECT lPartID FROM tParts ORDER BY ") + sort);
        std::vector<long> want;
        for (; !expected.IsEOF(); expected.MoveNext()) {
            want.push_back(static_cast<long>(expected.GetFieldValue(0).AsInt64()));
        }
        set.m_strSort = sort;
        set.Requery();
        std::vector<long> forward;
        for (; !set.IsEOF(); set.MoveNext()) {
            forward.push_back(set.m_lPartID);
        }
        ASSERT_EQ(forward.size(), want.size()) << sort;
        // Ties may come in either order in SQL; compare the sort values, not the ids.
        auto key = [&](long id) {
            CString sql;
            sql.Format("SELECT lOwner, strName FROM tParts WHERE lPartID=%ld", id);
            CDaoRecordset row(&database);
            row.Open(dbOpenSnapshot, sql);
            return row.GetFieldValue(0).AsText() + "|" + row.GetFieldValue(1).AsText() +
                   (row.GetFieldValue(1).IsNull() ? "<null>" : "");
        };
        for (std::size_t i = 0; i < want.size(); ++i) {
            EXPECT_EQ(key(forward[i]), key(want[i])) << sort << " at " << i;
        }
        std::vector<long> backward;
        for (set.MoveLast(); !set.IsBOF(); set.MovePrev()) {
            backward.push_back(set.m_lPartID);
        }
        EXPECT_EQ(std::vector<long>(backward.rbegin(), backward.rend()), forward) << sort;
    }
}
