// The record sets beside raw SQLite doing the same work: moving a category with 1,000
// descendants (every level in its sub-tree rewritten), and listing and matching object types
// among 1,000 type rows.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/RatioReporter.h"
#include "bench/RawSqlite.h"
#include "host/CBlob.h"
#include "platform/dao/CDaoDatabase.h"
#include "platform/dao/JetText.h"
#include "tables/CRSObjectTree.h"
#include "tables/CRSObjectTypes.h"
#include "tables/LibrarySchema.h"

namespace {

using vaultry::tables::Generation;
using vaultry::tables::LibrarySchema;

constexpr int kDescendants = 1000;
constexpr int kTypeRows = 1000;
constexpr int kDocTypes = 10;
constexpr int kBlockBytes = 2048;

// Category ids of the library: 1 the root, 2 and 3 two parents at levels 1 and 2, 4 the moved
// category, then its descendants, ten children to a category.
constexpr long kParentA = 2;
constexpr long kParentB = 3;
constexpr long kMoved = 4;

void Exec(sqlite3* db, const std::string& sql) {
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
}

std::vector<BYTE> Block(int i) {
    std::vector<BYTE> bytes(kBlockBytes, static_cast<BYTE>(i));
    bytes[0] = static_cast<BYTE>(i >> 8);
    return bytes;
}

// Removes the run's library file and its journal files when the run ends.
struct TemporaryLibrary {
    std::string path;
    ~TemporaryLibrary() {
        for (const char* suffix : {"", "-wal", "-shm"}) {
            std::filesystem::remove(path + suffix);
        }
    }
};

// A library with the tree and the type rows above, made once per run.
const std::string& Library() {
    static const TemporaryLibrary library{[] {
        const std::string file = (std::filesystem::temp_directory_path() /
                                  ("vaultry-tables-bench-" + std::to_string(::getpid()) + ".zblib"))
                                     .string();
        LibrarySchema::CreateLibrary(file.c_str(), "User", Generation::kCurrent);
        CDaoDatabase database;
        database.Open(file.c_str(), FALSE, FALSE,
                      LibrarySchema::ConnectString(Generation::kCurrent));
        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        vaultry::dao::RegisterJetText(db);
        Exec(db, "BEGIN");
        Exec(db, "INSERT INTO tObjectTree (strName,lLevel,lUserID,lParentID) VALUES ('A',1,0,1)");
        Exec(db, "INSERT INTO tObjectTree (strName,lLevel,lUserID,lParentID) VALUES ('B',2,0,2)");
        Exec(db, "INSERT INTO tObjectTree (strName,lLevel,lUserID,lParentID) VALUES ('M',2,0,2)");
        for (int i = 0; i < kDescendants; ++i) {
            const long id = kMoved + 1 + i;
            const long parent = id <= kMoved + 10 ? kMoved : kMoved + 1 + (i - 10) / 10;
            Exec(db, "INSERT INTO tObjectTree (strName,lLevel,lUserID,lParentID) VALUES ('C" +
                         std::to_string(id) + "',0,0," + std::to_string(parent) + ")");
        }
        sqlite3_stmt* blob = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO tBlobs (blbBlob,lBlobSize) VALUES (?,?)", -1, &blob,
                           nullptr);
        for (int i = 0; i < kTypeRows; ++i) {
            const auto bytes = Block(i);
            sqlite3_bind_blob(blob, 1, bytes.data(), kBlockBytes, SQLITE_TRANSIENT);
            sqlite3_bind_int(blob, 2, kBlockBytes);
            sqlite3_step(blob);
            sqlite3_reset(blob);
            Exec(db,
                 "INSERT INTO tObjectTypes (strDescription,strDocumentType,lBlobID,byVisibility) "
                 "VALUES ('d','Type" +
                     std::to_string(i % kDocTypes) + "'," +
                     std::to_string(sqlite3_last_insert_rowid(db)) + "," + std::to_string(i % 3) +
                     ")");
        }
        sqlite3_finalize(blob);
        Exec(db, "COMMIT");
        sqlite3_close(db);
        return file;
    }()};
    return library.path;
}

std::unique_ptr<CDaoDatabase> OpenLibrary() {
    auto database = std::make_unique<CDaoDatabase>();
    database->Open(Library().c_str(), FALSE, FALSE,
                   LibrarySchema::ConnectString(Generation::kCurrent));
    return database;
}

void MoveSubTree_Dao(benchmark::State& state) {
    auto database = OpenLibrary();
    CRSObjectTree tree(DATABASETYPE_USER, database.get());
    bool toB = true;
    for (auto _ : state) {
        tree.FindTreeID(kMoved);
        tree.Edit();
        tree.m_lParentID = toB ? kParentB : kParentA;
        tree.Update();
        toB = !toB;
    }
    state.SetItemsProcessed(state.iterations() * (kDescendants + 1));
}

// The same move by hand: the new parent, then every level of the sub-tree from one recursive
// walk, in one transaction.
void MoveSubTree_Raw(benchmark::State& state) {
    sqlite3* db = vaultry::bench::OpenRaw(Library());
    sqlite3_stmt* parent = nullptr;
    sqlite3_prepare_v2(db,
                       "UPDATE tObjectTree SET lParentID=?1, lLevel=(SELECT lLevel+1 FROM "
                       "tObjectTree WHERE lTreeID=?1) WHERE lTreeID=?2",
                       -1, &parent, nullptr);
    sqlite3_stmt* levels = nullptr;
    sqlite3_prepare_v2(
        db,
        "WITH RECURSIVE sub(id, lvl) AS (SELECT lTreeID, lLevel FROM tObjectTree WHERE "
        "lTreeID=?1 UNION ALL SELECT t.lTreeID, sub.lvl+1 FROM tObjectTree t JOIN sub "
        "ON t.lParentID=sub.id AND t.lParentID<>t.lTreeID) "
        "UPDATE tObjectTree SET lLevel=(SELECT lvl FROM sub WHERE id=lTreeID) "
        "WHERE lTreeID IN (SELECT id FROM sub)",
        -1, &levels, nullptr);
    bool toB = true;
    for (auto _ : state) {
        Exec(db, "BEGIN IMMEDIATE");
        sqlite3_bind_int(parent, 1, toB ? kParentB : kParentA);
        sqlite3_bind_int(parent, 2, kMoved);
        sqlite3_step(parent);
        sqlite3_reset(parent);
        sqlite3_bind_int(levels, 1, kMoved);
        sqlite3_step(levels);
        sqlite3_reset(levels);
        Exec(db, "COMMIT");
        toB = !toB;
    }
    sqlite3_finalize(parent);
    sqlite3_finalize(levels);
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * (kDescendants + 1));
}

void ValidTypeIds_Dao(benchmark::State& state) {
    auto database = OpenLibrary();
    CRSObjectTypes types(database.get());
    const ZB_OBJECTVISIBILITY hidden = ZB_VISIBILITY_HIDDEN;
    CDWordArray ids;
    for (auto _ : state) {
        types.GetValidObjectTypeIDList("type3|TYPE7", ids, &hidden);
        benchmark::DoNotOptimize(ids.GetData());
    }
}

void ValidTypeIds_Raw(benchmark::State& state) {
    sqlite3* db = vaultry::bench::OpenRaw(Library());
    sqlite3_stmt* list = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT lObjectTypeID FROM tObjectTypes WHERE strDocumentType IN (?,?) "
                       "AND byVisibility<>? ORDER BY rowid",
                       -1, &list, nullptr);
    std::vector<DWORD> ids;
    for (auto _ : state) {
        ids.clear();
        sqlite3_bind_text(list, 1, "type3", -1, SQLITE_STATIC);
        sqlite3_bind_text(list, 2, "TYPE7", -1, SQLITE_STATIC);
        sqlite3_bind_int(list, 3, 1);
        while (sqlite3_step(list) == SQLITE_ROW) {
            ids.push_back(static_cast<DWORD>(sqlite3_column_int(list, 0)));
        }
        sqlite3_reset(list);
        benchmark::DoNotOptimize(ids.data());
    }
    sqlite3_finalize(list);
    sqlite3_close(db);
}

// The probe matches the last of the 100 rows of its type, so every row of the type is compared.
constexpr int kProbe = kTypeRows - kDocTypes + 4;

void FindDocType_Dao(benchmark::State& state) {
    auto database = OpenLibrary();
    CRSObjectTypes types(database.get());
    types.Open();
    const auto bytes = Block(kProbe);
    const CBlob probe(bytes.data(), kBlockBytes);
    for (auto _ : state) {
        benchmark::DoNotOptimize(types.FindDocType("Type4", &probe));
    }
}

void FindDocType_Raw(benchmark::State& state) {
    sqlite3* db = vaultry::bench::OpenRaw(Library());
    sqlite3_stmt* find = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT t.lObjectTypeID, b.blbBlob FROM tObjectTypes t JOIN tBlobs b ON "
                       "b.lBlobID=t.lBlobID WHERE t.strDocumentType=? ORDER BY t.rowid",
                       -1, &find, nullptr);
    const auto bytes = Block(kProbe);
    for (auto _ : state) {
        long found = -1;
        sqlite3_bind_text(find, 1, "Type4", -1, SQLITE_STATIC);
        while (found < 0 && sqlite3_step(find) == SQLITE_ROW) {
            if (sqlite3_column_bytes(find, 1) == kBlockBytes &&
                std::memcmp(sqlite3_column_blob(find, 1), bytes.data(), kBlockBytes) == 0) {
                found = sqlite3_column_int(find, 0);
            }
        }
        sqlite3_reset(find);
        benchmark::DoNotOptimize(found);
    }
    sqlite3_finalize(find);
    sqlite3_close(db);
}

}  // namespace

BENCHMARK(MoveSubTree_Raw)->Name("MoveSubTree/Raw")->Unit(benchmark::kMillisecond);
BENCHMARK(MoveSubTree_Dao)->Name("MoveSubTree/Dao")->Unit(benchmark::kMillisecond);
BENCHMARK(ValidTypeIds_Raw)->Name("ValidTypeIds/Raw")->Unit(benchmark::kMicrosecond);
BENCHMARK(ValidTypeIds_Dao)->Name("ValidTypeIds/Dao")->Unit(benchmark::kMicrosecond);
BENCHMARK(FindDocType_Raw)->Name("FindDocType/Raw")->Unit(benchmark::kMicrosecond);
BENCHMARK(FindDocType_Dao)->Name("FindDocType/Dao")->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // A level update may cost a small multiple of touching each moved row once. Listing type
    // ids is one query either way. Matching a data block streams the type's rows with their
    // blobs in one join on both sides.
    vaultry::bench::RatioReporter reporter({{"MoveSubTree/Dao", "MoveSubTree/Raw", 5.0},
                                            {"ValidTypeIds/Dao", "ValidTypeIds/Raw", 2.0},
                                            {"FindDocType/Dao", "FindDocType/Raw", 2.0}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
