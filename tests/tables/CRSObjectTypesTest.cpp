#include <sqlite3.h>

#include "platform/dao/JetText.h"
#include "tables/CRSObjectTypes.h"
#include "tests/support/OpenLibraries.h"

class CRSObjectTypesTest : public vaultry::test::OnEngine<vaultry::test::OpenLibraries> {
protected:
    CRSObjectTypes& types() { return *user->GetRSObjectTypes(); }
    long Add(const char* docType, BYTE visibility, const std::string& block) {
        return types().SaveDocType(docType, CString(docType) + " parts", visibility,
                                   MakeBlob(block));
    }
    std::vector<DWORD> Ids(const char* request, const ZB_OBJECTVISIBILITY* excluded = nullptr,
                           bool* result = nullptr) {
        CDWordArray ids;
        ids.Add(77);  // emptied first
        const bool ok = types().GetValidObjectTypeIDList(request, ids, excluded);
        if (result) {
            *result = ok;
        }
        return {ids.begin(), ids.end()};
    }
};

INSTANTIATE_TEST_SUITE_P(Engines, CRSObjectTypesTest, vaultry::test::kEveryEngine,
                         vaultry::test::EngineName);

// Cases that need the library files themselves.
class CRSObjectTypesTestOnFile : public CRSObjectTypesTest {};
INSTANTIATE_TEST_SUITE_P(Files, CRSObjectTypesTestOnFile, vaultry::test::kFileEngineOnly,
                         vaultry::test::EngineName);

TEST_P(CRSObjectTypesTest, ValidIdsCoverEveryRequestedTypeAndVisibility) {
    const long footprint = Add("Footprint", 0, "fp-a");
    const long pad = Add("pad-stack", 1, "pad");
    const long cad = Add("CAD-Object", 2, "cad");
    const long footprint2 = Add("FOOTPRINT", 0, "fp-b");
    EXPECT_EQ(Ids("footprint|Pad-Stack"),
              (std::vector<DWORD>{DWORD(footprint), DWORD(pad), DWORD(footprint2)}));
    const ZB_OBJECTVISIBILITY hidden = ZB_VISIBILITY_HIDDEN;
    EXPECT_EQ(Ids("Footprint|Pad-Stack|", &hidden),
              (std::vector<DWORD>{DWORD(footprint), DWORD(footprint2)}));
    EXPECT_EQ(Ids("||CAD-Object||"), (std::vector<DWORD>{DWORD(cad)}));
    EXPECT_EQ(Ids("cad-object"), (std::vector<DWORD>{DWORD(cad)}));
    bool ok = false;
    EXPECT_TRUE(Ids("Schematic", nullptr, &ok).empty());
    EXPECT_TRUE(ok);
    EXPECT_TRUE(Ids("", nullptr, &ok).empty());
    EXPECT_FALSE(ok);
    EXPECT_TRUE(Ids("O'Brien|x'", nullptr, &ok).empty());
    EXPECT_TRUE(ok);
}

TEST_P(CRSObjectTypesTest, FindDocTypeTellsBlocksOfOneTypeApart) {
    CRSObjectTypes fresh(user);
    CBlob* probe = MakeBlob("fp-b");
    Add("Footprint", 0, "fp-a");
    const long second = Add("Footprint", 0, "fp-b");
    EXPECT_EQ(fresh.FindDocType("Footprint", probe), -1);  // never opened
    EXPECT_EQ(types().FindDocType("footprint", probe), second);
    EXPECT_EQ(types().FindDocType("Pad-Stack", probe), -1);
    EXPECT_EQ(types().FindDocType("Footprint", nullptr), -1);
    delete probe;  // stays the caller's
    CBlob* missing = MakeBlob("fp-c");
    EXPECT_EQ(types().FindDocType("Footprint", missing), -1);
    delete missing;
}

TEST_P(CRSObjectTypesTest, TypesAreCreatedOnceAndDescribed) {
    EXPECT_FALSE(
        types().CheckObjectTypeExist("Footprint", false, "Footprints", ZB_VISIBILITY_NORMAL));
    EXPECT_TRUE(
        types().CheckObjectTypeExist("Footprint", true, "Footprints", ZB_VISIBILITY_NORMAL));
    EXPECT_TRUE(types().CheckObjectTypeExist("FOOTPRINT", true, "again", ZB_VISIBILITY_NORMAL));
    EXPECT_EQ(Count("tObjectTypes"), 1);
    const long id = types().m_lObjectTypeID;
    CBlob* block = MakeBlob("stale");
    EXPECT_TRUE(types().Load(id, block));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->m_nSize, 0u);  // created with an empty data block
    EXPECT_TRUE(types().Save(id, MakeBlob("layers")));
    EXPECT_TRUE(types().Load(id, block));
    EXPECT_EQ(Text(block), "layers");
    delete block;

    CString description;
    EXPECT_TRUE(types().GetDocTypeDescrption(id, description));
    EXPECT_EQ(description, "Footprints");
    EXPECT_FALSE(types().GetDocTypeDescrption(id + 1, description));
    EXPECT_EQ(description, "");
    EXPECT_FALSE(types().GetDocTypeDescrption("Schematic", description));
    EXPECT_EQ(description, "Schematic");
    EXPECT_TRUE(types().GetDocTypeDescrption("footprint", description));
    EXPECT_EQ(description, "Footprints");
    BYTE visibility = 9;
    EXPECT_TRUE(types().GetDocTypeOtherData("Footprint", description, visibility));
    EXPECT_EQ(visibility, 0);
    EXPECT_EQ(types().GetDocType(id), "Footprint");
    EXPECT_EQ(types().GetDocType(id + 5), "");
}

// A damaged file whose type table lacks a column: the set cannot read its rows, says so, and
// stays closed rather than half open without its data blocks.
TEST_P(CRSObjectTypesTestOnFile, ASetWhoseRowsCannotBeReadStaysClosed) {
    const long id = Add("Footprint", 0, "layers");
    UnloadDB();
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(folder.PathOf(DATABASETYPE_USER).c_str(), &other), SQLITE_OK);
    vaultry::dao::RegisterJetText(other);
    ASSERT_EQ(sqlite3_exec(other, "ALTER TABLE tObjectTypes RENAME COLUMN lBlobID TO lBdobID",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(other);
    ASSERT_TRUE(AssureDBLoaded());
    user = GetAccessDB(DATABASETYPE_USER);
    CBlob* block = nullptr;
    EXPECT_FALSE(types().Load(id, block));
    EXPECT_FALSE(types().IsOpen());
    EXPECT_FALSE(types().Load(id, block));  // asked again: opened again, refused again
    EXPECT_EQ(block, nullptr);
}
