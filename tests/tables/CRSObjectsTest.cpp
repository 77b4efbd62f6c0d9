#include <sqlite3.h>

#include <string>

#include "platform/dao/CDaoTableDef.h"
#include "platform/dao/FaultInjector.h"
#include "platform/dao/JetText.h"
#include "tables/CRSBlobs.h"
#include "tables/CRSObjectTypes.h"
#include "tables/CRSObjects.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/OpenLibraries.h"

using vaultry::dao::FaultInjector;

class CRSObjectsTest : public vaultry::test::OnEngine<vaultry::test::OpenLibraries> {
protected:
    // Faults reach only connections opened after this, so before any test opens one.
    static void SetUpTestSuite() { FaultInjector::Install(); }
    CRSObjects& Parts() { return *user->GetRSObjects(); }
    long Store(const CString& name, long type, long tree = 1) {
        return Parts().SaveObject(name, type, MakeBlob(name.str() + " content"), tree)
                   ? Parts().GetObjectID(name, type)
                   : -1;
    }
};

INSTANTIATE_TEST_SUITE_P(Engines, CRSObjectsTest, vaultry::test::kEveryEngine,
                         vaultry::test::EngineName);

// Cases that need the library files themselves.
class CRSObjectsTestOnFile : public CRSObjectsTest {};
INSTANTIATE_TEST_SUITE_P(Files, CRSObjectsTestOnFile, vaultry::test::kFileEngineOnly,
                         vaultry::test::EngineName);

TEST_P(CRSObjectsTest, ANameTakenAnywhereRefusesTheStore) {
    ASSERT_GT(Store("R1", 1), 0);
    EXPECT_FALSE(Parts().SaveObject("r1", 2, MakeBlob("other"), 5));  // other type, category, case
    EXPECT_FALSE(Parts().SaveObject("R2", 1, nullptr, 1));
    EXPECT_EQ(Count("tObjects"), 1);
    EXPECT_EQ(Count("tBlobs"), 1);
}

TEST_P(CRSObjectsTest, AFilterLeftOnTheSetHidesNoDuplicate) {
    Store("Taken", 1);
    Parts().m_strFilter = "strObjectName='Other'";
    Parts().Requery();
    EXPECT_FALSE(Parts().SaveObject("TAKEN", 1, MakeBlob("x"), 1));
    EXPECT_EQ(Count("tObjects"), 1);
}

TEST_P(CRSObjectsTest, NamesWithQuotesBehaveLikeAnyOther) {
    const CString name = "O'Neil \"big\" 10%";
    const long id = Store(name, 1);
    ASSERT_GT(id, 0);
    EXPECT_EQ(Parts().GetFirstObjectID(name), id);
    EXPECT_FALSE(Parts().SaveObject(name, 1, MakeBlob("x"), 1));  // consumed all the same
    EXPECT_TRUE(Parts().RenameObject(id, "it's renamed"));
    EXPECT_EQ(Parts().GetFirstObjectID("IT'S RENAMED"), id);
    EXPECT_EQ(Parts().GetFirstObjectID(name), -1);
    EXPECT_EQ(Parts().GetFirstObjectID("' OR 1=1 OR '"), -1);
}

// Another program's store reaches a program that has loaded parts already: the part, its data
// in the blob table, and a type row it added.
TEST_P(CRSObjectsTestOnFile, LoadFindsAPartAnotherProgramStoredSince) {
    const long first = Store("Mine", 1);
    CBlob* blob = nullptr;
    ASSERT_EQ(Parts().LoadObject(first, blob), 1);
    delete blob;
    blob = nullptr;
    CRSObjectTypes& types = *user->GetRSObjectTypes();
    EXPECT_EQ(types.GetDocType(99), "");  // the type set has been read

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(user->GetName().GetString(), &other), SQLITE_OK);
    ASSERT_EQ(vaultry::dao::RegisterJetText(other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other,
                           "INSERT INTO tBlobs (blbBlob, lBlobSize) VALUES (x'4142', 2);"
                           "INSERT INTO tObjects (strObjectName, lUserID, lObjectTreeID, "
                           "lObjectTypeID, lBlobID) VALUES ('Theirs', 0, 1, 1, "
                           "last_insert_rowid())",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    const long theirs = static_cast<long>(sqlite3_last_insert_rowid(other));
    ASSERT_EQ(sqlite3_exec(other,
                           "INSERT INTO tObjectTypes (strDescription, strDocumentType, lBlobID, "
                           "byVisibility) VALUES ('Theirs', 'Their-Type', 1, 0)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    const long theirType = static_cast<long>(sqlite3_last_insert_rowid(other));
    sqlite3_close(other);
    EXPECT_EQ(types.GetDocType(theirType), "Their-Type");

    EXPECT_EQ(Parts().LoadObject(theirs, blob), 1);
    EXPECT_EQ(Text(blob), "AB");
    delete blob;
}

TEST_P(CRSObjectsTest, LoadFindsPartsHiddenByALeftoverFilter) {
    const long first = Store("C1", 1);
    const long second = Store("C2", 3, 7);
    Parts().m_strFilter = "lObjectTreeID=1";
    Parts().Requery();
    CBlob* blob = nullptr;
    EXPECT_EQ(Parts().LoadObject(second, blob), 3);
    EXPECT_EQ(Text(blob), "C2 content");
    EXPECT_EQ(Parts().LoadObject(first, blob), 1);
    EXPECT_EQ(Text(blob), "C1 content");
    CBlob* kept = blob;
    EXPECT_EQ(Parts().LoadObject(999, blob), 0);
    EXPECT_EQ(blob, kept);  // untouched when the part is missing
    // A part whose content row is gone loads with its type and no content.
    user->Execute(("DELETE FROM tBlobs WHERE lBlobID IN (SELECT lBlobID FROM tObjects WHERE "
                   "lObjectID=" +
                   std::to_string(first) + ")")
                      .c_str());
    EXPECT_EQ(Parts().LoadObject(first, blob), 1);
    EXPECT_EQ(blob, nullptr);
}

TEST_P(CRSObjectsTest, TypesTellSameNamedPartsApart) {
    const long footprint = Store("U1", 1);
    CRSObjects& parts = Parts();
    parts.Open();
    parts.AddNew();  // a second row of the same name, as an older library may hold
    parts.m_strObjectName = "U1";
    parts.m_lObjectTypeID = 2;
    parts.Update();
    parts.MoveLast();
    const long pad = parts.m_lObjectID;
    EXPECT_EQ(parts.GetObjectID("U1", 1), footprint);
    EXPECT_EQ(parts.GetObjectID("U1", 2), pad);
    EXPECT_EQ(parts.GetObjectID("U1", 3), -1);
    EXPECT_EQ(parts.GetFirstObjectID("U1"), footprint);
    EXPECT_EQ(parts.GetObjectTypeID(pad), 2);
    EXPECT_EQ(parts.GetObjectTypeID(999), -1);
}

TEST_P(CRSObjectsTest, ReplaceKeepsIdentityAndChangesContentAndType) {
    const long id = Store("Q1", 1, 4);
    CRSObjects& parts = Parts();
    parts.FindObjectID(id);
    const long blobID = parts.m_lBlobID;
    EXPECT_TRUE(parts.ReplaceObject(id, MakeBlob("replaced"), 9));
    parts.FindObjectID(id);
    EXPECT_EQ(parts.m_lBlobID, blobID);
    EXPECT_EQ(parts.m_strObjectName, "Q1");
    EXPECT_EQ(parts.m_lObjectTreeID, 4);
    EXPECT_EQ(parts.m_lUserID, 0);
    EXPECT_EQ(parts.m_lObjectTypeID, 9);
    CBlob* blob = nullptr;
    parts.LoadObject(id, blob);
    EXPECT_EQ(Text(blob), "replaced");
    delete blob;
    EXPECT_FALSE(parts.ReplaceObject(999, MakeBlob("x"), 1));
    EXPECT_FALSE(parts.Delete(999));
    EXPECT_TRUE(parts.Delete(id));
    EXPECT_EQ(Count("tObjects"), 0);
    EXPECT_EQ(Count("tBlobs"), 1);  // blob rows stay
}

TEST_P(CRSObjectsTestOnFile, AFailedStoreLeavesNothingBehind) {
    Store("before", 1);
    // Every write fails from the blob on: no part row may point at a missing or empty blob.
    vaultry::test::MessageBoxScript boxes;
    boxes.AllowAny();
    FaultInjector::Arm(FaultInjector::Operation::kWrite, 1, SQLITE_FULL, true);
    EXPECT_FALSE(Parts().SaveObject("after", 1, MakeBlob("content"), 1));
    FaultInjector::Disarm();
    EXPECT_EQ(Count("tObjects"), 1);
    EXPECT_EQ(Count("tBlobs"), 1);
    EXPECT_GT(Store("after", 1), 0);  // and the set still works
}

TEST_P(CRSObjectsTestOnFile, AFailedReplaceKeepsTheOldContent) {
    const long id = Store("keep", 1);
    vaultry::test::MessageBoxScript boxes;
    boxes.AllowAny();
    // The blob is written, then the part row fails: the blob must come back as it was.
    FaultInjector::Arm(FaultInjector::Operation::kSync, 1, SQLITE_IOERR_FSYNC, true);
    EXPECT_FALSE(Parts().ReplaceObject(id, MakeBlob("half"), 5));
    FaultInjector::Disarm();
    CBlob* blob = nullptr;
    EXPECT_EQ(Parts().LoadObject(id, blob), 1);
    EXPECT_EQ(Text(blob), "keep content");
    delete blob;
}

TEST_P(CRSObjectsTest, ContentThatCannotBeWrittenStoresNoPart) {
    user->Execute("ALTER TABLE tBlobs RENAME TO tBlobsElsewhere");
    EXPECT_FALSE(Parts().SaveObject("R9", 1, MakeBlob("content"), 1));  // consumed, not stored
    EXPECT_EQ(Count("tObjects"), 0);
}

TEST_P(CRSObjectsTest, EveryLookupSearchesTheWholeTableWhateverFilterWasLeft) {
    const long first = Store("C1", 1);
    const long second = Store("C2", 3, 7);
    CRSObjects& parts = Parts();
    parts.m_strFilter = "strObjectName='C1'";
    parts.Requery();
    EXPECT_EQ(parts.GetObjectTypeID(second), 3);
    parts.m_strFilter = "strObjectName='C1'";
    parts.Requery();
    EXPECT_TRUE(parts.FindObjectID(second));
    parts.m_strFilter = "strObjectName='C2'";
    parts.Requery();
    EXPECT_EQ(parts.GetFirstObjectID("C1"), first);
    parts.m_strFilter = "strObjectName='C2'";
    parts.Requery();
    EXPECT_EQ(parts.GetObjectID("C1", 1), first);
    parts.m_strFilter = "strObjectName='C1'";
    parts.Requery();
    EXPECT_TRUE(parts.RenameObject(second, "C3"));
    EXPECT_EQ(parts.GetFirstObjectID("C3"), second);
}

TEST_P(CRSObjectsTest, OpeningOnATableDefinitionMakesTheBlobSetToo) {
    const long id = Store("T1", 1);
    CDaoTableDef definition(user);
    definition.Open("tObjects");
    CRSObjects parts(DATABASETYPE_USER, user);
    parts.Open(&definition);
    CBlob* blob = nullptr;
    EXPECT_EQ(parts.LoadObject(id, blob), 1);
    EXPECT_EQ(Text(blob), "T1 content");
    delete blob;
    parts.Close();
    CRSObjectTypes types(user);
    CDaoTableDef typeDefinition(user);
    typeDefinition.Open("tObjectTypes");
    types.Open(&typeDefinition);
    EXPECT_NE(types.m_pRSBlobs, nullptr);
}
