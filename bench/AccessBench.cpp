// The handler's part and category operations beside raw SQLite writing and reading the same
// rows and blob bytes in the same run. Encoding and decoding are timed on their own too, so
// the storage cost can be told apart from the drawing engine's.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "bench/AccessFixtures.h"
#include "bench/RatioReporter.h"
#include "bench/RawSqlite.h"
#include "host/CDrwObList.h"
#include "host/CLibraryObject.h"
#include "host/PartGeometry.h"
#include "tables/LibrarySchema.h"

namespace {

using vaultry::bench::DecodePart;
using vaultry::bench::Encode;
using vaultry::bench::FillSourceCategory;
using vaultry::bench::kParts;
using vaultry::bench::Libraries;
using vaultry::bench::Numbered;
using vaultry::bench::OpenRaw;
using vaultry::bench::Part;
using vaultry::bench::Stored;
using vaultry::bench::StoredFootprintBlock;
using vaultry::bench::UserPath;
using vaultry::tables::Generation;
using vaultry::tables::LibrarySchema;

void EncodeOnly(benchmark::State& state) {
    std::vector<std::unique_ptr<CDrwGroup>> parts;
    for (int i = 0; i < kParts; ++i) {
        parts.push_back(Part(i));
    }
    for (auto _ : state) {
        for (auto& part : parts) {
            benchmark::DoNotOptimize(Encode(*part));
        }
    }
}

void SaveObjects_Dao(benchmark::State& state) {
    vaultry::bench::StoreIntoFresh<Libraries>(state);
}

// The same parts, encoded and measured, written as blob, part and measurement rows in batches
// of 64 per transaction.
void SaveObjects_Raw(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Libraries libraries;
        LibrarySchema::CreateLibrary(libraries.RawPath().c_str(), "raw", Generation::kCurrent);
        sqlite3* db = OpenRaw(libraries.RawPath());
        vaultry::bench::CreateMeasurementTable(db);
        sqlite3_stmt* blob = nullptr;
        sqlite3_stmt* part = nullptr;
        sqlite3_stmt* geometry = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO tBlobs (blbBlob, lBlobSize) VALUES (?,?)", -1, &blob,
                           nullptr);
        sqlite3_prepare_v2(
            db,
            "INSERT INTO tObjects (strObjectName,lUserID,lObjectTreeID,lObjectTypeID,lBlobID) "
            "VALUES (?,0,1,1,?)",
            -1, &part, nullptr);
        sqlite3_prepare_v2(db, "INSERT INTO tPartGeometry VALUES (?,?,?,?,?,?,?,?)", -1, &geometry,
                           nullptr);
        std::vector<std::unique_ptr<CDrwGroup>> parts;
        for (int i = 0; i < kParts; ++i) {
            parts.push_back(Part(i));
        }
        state.ResumeTiming();
        for (int i = 0; i < kParts; ++i) {
            if (i % 64 == 0) {
                sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
            }
            const auto bytes = Encode(*parts[static_cast<std::size_t>(i)]);
            sqlite3_bind_blob(blob, 1, bytes->m_pData, static_cast<int>(bytes->m_nSize),
                              SQLITE_TRANSIENT);
            sqlite3_bind_int(blob, 2, static_cast<int>(bytes->m_nSize));
            sqlite3_step(blob);
            sqlite3_reset(blob);
            const std::string name = Numbered("R", i);
            sqlite3_bind_text(part, 1, name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int64(part, 2, sqlite3_last_insert_rowid(db));
            sqlite3_step(part);
            sqlite3_reset(part);
            const PartGeometry g = MeasureGeometry(*parts[static_cast<std::size_t>(i)]);
            const long values[] = {g.padCount,  g.pitch,      g.rowCount,     g.span,
                                   g.bodyWidth, g.bodyHeight, g.smd ? 1L : 0L};
            sqlite3_bind_int64(geometry, 1, sqlite3_last_insert_rowid(db));
            for (int v = 0; v < 7; ++v) {
                sqlite3_bind_int64(geometry, v + 2, values[v]);
            }
            sqlite3_step(geometry);
            sqlite3_reset(geometry);
            if (i % 64 == 63 || i + 1 == kParts) {
                sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
            }
        }
        state.PauseTiming();
        sqlite3_finalize(blob);
        sqlite3_finalize(part);
        sqlite3_finalize(geometry);
        sqlite3_close(db);
        state.ResumeTiming();
    }
}

void DecodeOnly(benchmark::State& state) {
    auto part = Part(1);
    const auto blob = Encode(*part);
    for (auto _ : state) {
        CLibraryObject decoder;
        CLayerDefinition layers;
        CColorDefinition colours;
        decoder.DecodeBlob(nullptr, nullptr, nullptr, nullptr, nullptr, blob.get(), &layers,
                           &colours);
        decoder.DestroyObjectList();
    }
}

void LoadObject_Dao(benchmark::State& state) {
    Stored();
    vaultry::bench::LoadEachById(state, GetAccessDB(DATABASETYPE_USER));
}

// The same part row and blob read by id, and decoded.
void LoadObject_Raw(benchmark::State& state) {
    Stored();
    const StoredFootprintBlock block(UserPath());
    sqlite3* db = OpenRaw(UserPath());
    sqlite3_stmt* find = nullptr;
    sqlite3_prepare_v2(
        db,
        "SELECT o.lObjectTypeID, b.blbBlob FROM tObjects o JOIN tBlobs b ON b.lBlobID=o.lBlobID "
        "WHERE o.lObjectID=?",
        -1, &find, nullptr);
    long id = 1;
    for (auto _ : state) {
        sqlite3_bind_int64(find, 1, id);
        sqlite3_step(find);
        const auto part =
            DecodePart(sqlite3_column_blob(find, 1), sqlite3_column_bytes(find, 1), block.Info());
        sqlite3_reset(find);
        if (part == nullptr) {
            state.SkipWithError("a stored part did not decode");
            break;
        }
        id = id % kParts + 1;
    }
    sqlite3_finalize(find);
    sqlite3_close(db);
}

void LoadObjects_Dao(benchmark::State& state) {
    Stored();
    vaultry::bench::LoadEachByName(state, GetAccessDB(DATABASETYPE_USER));
}

void LoadObjects_Raw(benchmark::State& state) {
    Stored();
    const StoredFootprintBlock block(UserPath());
    sqlite3* db = OpenRaw(UserPath());
    sqlite3_stmt* find = nullptr;
    sqlite3_prepare_v2(
        db,
        "SELECT o.lObjectTypeID, b.blbBlob FROM tObjects o JOIN tBlobs b ON b.lBlobID=o.lBlobID "
        "WHERE o.strObjectName=?",
        -1, &find, nullptr);
    int i = 0;
    for (auto _ : state) {
        const std::string name = Numbered("R", i);
        sqlite3_bind_text(find, 1, name.c_str(), -1, SQLITE_TRANSIENT);
        std::unique_ptr<CDrwGroup> part;
        while (sqlite3_step(find) == SQLITE_ROW) {
            part = DecodePart(sqlite3_column_blob(find, 1), sqlite3_column_bytes(find, 1),
                              block.Info());
        }
        sqlite3_reset(find);
        if (part == nullptr) {
            state.SkipWithError("a stored part did not decode");
            break;
        }
        i = (i + 1) % kParts;
    }
    sqlite3_finalize(find);
    sqlite3_close(db);
}

// `count` categories below the user root, ten to a parent, made with plain SQL.
void FillCategories(CMSAccessDBHandler* tier, int count) {
    sqlite3* db = OpenRaw(tier->GetName().str());
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* add = nullptr;
    sqlite3_prepare_v2(
        db, "INSERT INTO tObjectTree (strName,lLevel,lUserID,lParentID) VALUES (?,?,0,?)", -1, &add,
        nullptr);
    for (int i = 0; i < count; ++i) {
        const long id = i + 2;
        const long parent = i < 10 ? 1 : (i - 10) / 10 + 2;
        long level = 1;
        for (long p = parent; p != 1; p = p < 12 ? 1 : (p - 12) / 10 + 2) {
            ++level;
        }
        const std::string name = Numbered("C", id);
        sqlite3_bind_text(add, 1, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(add, 2, level);
        sqlite3_bind_int64(add, 3, parent);
        sqlite3_step(add);
        sqlite3_reset(add);
    }
    sqlite3_finalize(add);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

void CheckForCache_Dao(benchmark::State& state) {
    Libraries libraries;
    CMSAccessDBHandler* user = GetAccessDB(DATABASETYPE_USER);
    FillCategories(user, static_cast<int>(state.range(0)));
    user->Close();
    user->IsInitialized(DATABASETYPE_USER);
    for (auto _ : state) {
        user->CheckForCache();
    }
}

// The same table built by hand: the columns, then every row from one recursive walk.
void CheckForCache_Raw(benchmark::State& state) {
    Libraries libraries;
    CMSAccessDBHandler* user = GetAccessDB(DATABASETYPE_USER);
    FillCategories(user, static_cast<int>(state.range(0)));
    const std::string path = user->GetName().str();
    UnloadDB();
    sqlite3* db = OpenRaw(path);
    for (auto _ : state) {
        sqlite3_exec(
            db,
            "BEGIN IMMEDIATE; DROP TABLE IF EXISTS tObjectTreeCache;"
            "CREATE TABLE tObjectTreeCache (lCache0 INTEGER, lCache1 INTEGER, lCache2 INTEGER, "
            "lCache3 INTEGER, lCache4 INTEGER, lTreeID INTEGER NOT NULL);"
            "WITH RECURSIVE walk(id, c0, c1, c2, c3, c4, lvl) AS ("
            " SELECT lTreeID, lTreeID, NULL, NULL, NULL, NULL, 0 FROM tObjectTree WHERE "
            "lParentID=lTreeID"
            " UNION ALL SELECT t.lTreeID, w.c0,"
            "  CASE WHEN w.lvl+1=1 THEN t.lTreeID ELSE w.c1 END, CASE WHEN w.lvl+1=2 THEN "
            "t.lTreeID ELSE w.c2 END,"
            "  CASE WHEN w.lvl+1=3 THEN t.lTreeID ELSE w.c3 END, CASE WHEN w.lvl+1=4 THEN "
            "t.lTreeID ELSE w.c4 END,"
            "  w.lvl+1 FROM tObjectTree t JOIN walk w ON t.lParentID=w.id AND "
            "t.lParentID<>t.lTreeID)"
            "INSERT INTO tObjectTreeCache SELECT c0, c1, c2, c3, c4, id FROM walk; COMMIT",
            nullptr, nullptr, nullptr);
    }
    sqlite3_close(db);
}

void CopyTree_Dao(benchmark::State& state) {
    Libraries libraries;
    CMSAccessDBHandler* user = GetAccessDB(DATABASETYPE_USER);
    CMSAccessDBHandler* corporate = GetAccessDB(DATABASETYPE_CORPORATE);
    const long source = FillSourceCategory(user);
    bool measured = false;  // the measurement table is made by the first copy
    for (auto _ : state) {
        state.PauseTiming();
        // Each copy goes into an empty tier, as the raw side's does: no renaming.
        corporate->Execute("DELETE FROM tObjects");
        corporate->Execute("DELETE FROM tObjectTree WHERE lParentID<>lTreeID");
        if (measured) {
            corporate->Execute("DELETE FROM tPartGeometry");
        }
        measured = true;
        state.ResumeTiming();
        corporate->CopyTree(source, 1, user);
    }
}

// A stored part decoded and encoded again, as a copy between tiers must: the destination keeps
// its own layer and colour tables. Throws when the part does not decode: a failure must not be
// timed as work.
std::unique_ptr<CBlob> Reencode(const void* data, int size, const CDocTypeLibraryInfo& block) {
    const auto part = DecodePart(data, size, block);
    if (part == nullptr) {
        throw std::runtime_error("a stored part did not decode");
    }
    return Encode(*part);
}

// The same rows read from one file and written to the other, each blob decoded and encoded,
// and each part's measurement row copied.
void CopyTree_Raw(benchmark::State& state) {
    Libraries libraries;
    CMSAccessDBHandler* user = GetAccessDB(DATABASETYPE_USER);
    const long source = FillSourceCategory(user);
    const std::string from = user->GetName().str();
    const std::string to = GetAccessDB(DATABASETYPE_CORPORATE)->GetName().str();
    UnloadDB();
    const StoredFootprintBlock block(from);
    sqlite3* in = OpenRaw(from);
    sqlite3* out = OpenRaw(to);
    sqlite3_stmt* read = nullptr;
    sqlite3_prepare_v2(
        in,
        "SELECT o.strObjectName, b.blbBlob, g.lPadCount, g.lPitch, g.lRowCount, g.lSpan, "
        "g.lBodyWidth, g.lBodyHeight, g.bSmd FROM tObjects o JOIN tBlobs b ON "
        "b.lBlobID=o.lBlobID JOIN tPartGeometry g ON g.lObjectID=o.lObjectID WHERE "
        "o.lObjectTreeID=?",
        -1, &read, nullptr);
    vaultry::bench::CreateMeasurementTable(out);
    sqlite3_stmt* blob = nullptr;
    sqlite3_stmt* part = nullptr;
    sqlite3_stmt* geometry = nullptr;
    sqlite3_prepare_v2(out, "INSERT INTO tPartGeometry VALUES (?,?,?,?,?,?,?,?)", -1, &geometry,
                       nullptr);
    sqlite3_prepare_v2(out, "INSERT INTO tBlobs (blbBlob, lBlobSize) VALUES (?,?)", -1, &blob,
                       nullptr);
    sqlite3_prepare_v2(
        out,
        "INSERT INTO tObjects (strObjectName,lUserID,lObjectTreeID,lObjectTypeID,lBlobID) "
        "VALUES (?,0,1,1,?)",
        -1, &part, nullptr);
    for (auto _ : state) {
        state.PauseTiming();
        sqlite3_exec(out, "DELETE FROM tObjects; DELETE FROM tPartGeometry", nullptr, nullptr,
                     nullptr);
        state.ResumeTiming();
        sqlite3_bind_int64(read, 1, source);
        // One transaction, as a category copy is whole or not at all.
        sqlite3_exec(out, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        while (sqlite3_step(read) == SQLITE_ROW) {
            const auto bytes =
                Reencode(sqlite3_column_blob(read, 1), sqlite3_column_bytes(read, 1), block.Info());
            sqlite3_bind_blob(blob, 1, bytes->m_pData, static_cast<int>(bytes->m_nSize),
                              SQLITE_TRANSIENT);
            sqlite3_bind_int(blob, 2, static_cast<int>(bytes->m_nSize));
            sqlite3_step(blob);
            sqlite3_reset(blob);
            sqlite3_bind_text(part, 1, reinterpret_cast<const char*>(sqlite3_column_text(read, 0)),
                              -1, SQLITE_TRANSIENT);
            sqlite3_bind_int64(part, 2, sqlite3_last_insert_rowid(out));
            sqlite3_step(part);
            sqlite3_reset(part);
            sqlite3_bind_int64(geometry, 1, sqlite3_last_insert_rowid(out));
            for (int v = 0; v < 7; ++v) {
                sqlite3_bind_int64(geometry, v + 2, sqlite3_column_int64(read, v + 2));
            }
            sqlite3_step(geometry);
            sqlite3_reset(geometry);
        }
        sqlite3_exec(out, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_reset(read);
    }
    sqlite3_finalize(read);
    sqlite3_finalize(blob);
    sqlite3_finalize(part);
    sqlite3_finalize(geometry);
    sqlite3_close(in);
    sqlite3_close(out);
}

}  // namespace

// Two sizes, to show the time growing linearly with the number of categories.
BENCHMARK(CheckForCache_Raw)
    ->Name("CheckForCache/Raw")
    ->Arg(1000)
    ->Arg(10000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(CheckForCache_Dao)
    ->Name("CheckForCache/Dao")
    ->Arg(1000)
    ->Arg(10000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(CopyTree_Raw)->Name("CopyTree1000/Raw")->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(CopyTree_Dao)->Name("CopyTree1000/Dao")->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(DecodeOnly)->Name("Decode/Engine");
BENCHMARK(LoadObject_Raw)->Name("LoadObject/Raw");
BENCHMARK(LoadObject_Dao)->Name("LoadObject/Dao");
BENCHMARK(LoadObjects_Raw)->Name("LoadObjects/Raw");
BENCHMARK(LoadObjects_Dao)->Name("LoadObjects/Dao");
BENCHMARK(EncodeOnly)->Name("Encode10000/Engine")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(SaveObjects_Raw)
    ->Name("SaveObjects10000/Raw")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(SaveObjects_Dao)
    ->Name("SaveObjects10000/Dao")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    vaultry::bench::RatioReporter reporter(
        {{"SaveObjects10000/Dao", "SaveObjects10000/Raw", 1.5},
         {"SaveObjects10000/Dao", "SaveObjects10000/Steps", 2.0},
         {"SaveObjects10000/Steps", "SaveObjects10000/Raw", 0.0},
         {"LoadObject/Dao", "LoadObject/Raw", 1.5},
         {"LoadObject/Dao", "LoadObject/Steps", 2.0},
         {"LoadObject/Steps", "LoadObject/Raw", 0.0},
         {"LoadObjects/Dao", "LoadObjects/Raw", 1.5},
         {"LoadObjects/Dao", "LoadObjects/Steps", 2.0},
         {"LoadObjects/Steps", "LoadObjects/Raw", 0.0},
         {"CheckForCache/Dao/1000", "CheckForCache/Raw/1000", 2.0},
         {"CheckForCache/Dao/10000", "CheckForCache/Raw/10000", 2.0},
         {"CopyTree1000/Dao", "CopyTree1000/Raw", 1.5},
         {"CopyTree1000/Dao", "CopyTree1000/Steps", 2.0},
         {"CopyTree1000/Steps", "CopyTree1000/Raw", 0.0}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
