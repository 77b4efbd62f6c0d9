// The handler's part and category operations beside raw SQLite writing and reading the same
// rows and blob bytes in the same run. Encoding and decoding are timed on their own too, so
// the storage cost can be told apart from the drawing engine's.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "bench/RatioReporter.h"
#include "bench/RawSqlite.h"
#include "host/BuiltInPlugIns.h"
#include "host/CBlob.h"
#include "host/CDrwObList.h"
#include "host/CLibraryObject.h"
#include "host/FootprintGenerator.h"
#include "host/ReferenceHost.h"
#include "platform/afx/CStringArray.h"
#include "tables/CRSObjectTree.h"
#include "tables/LibrarySchema.h"

namespace {

using vaultry::bench::OpenRaw;

namespace fs = std::filesystem;
using vaultry::tables::Generation;
using vaultry::tables::LibrarySchema;

constexpr int kParts = 10000;

// Built step by step: GCC 12 warns falsely about "text" + std::to_string(...).
std::string Numbered(const char* prefix, long n) {
    std::string text = prefix;
    text += std::to_string(n);
    return text;
}

std::unique_ptr<CDrwGroup> Part(int i) {
    return MakeChipFootprint(CString("R") + std::to_string(i).c_str(), "R1", Millimetres(1.6),
                             Millimetres(0.9), Millimetres(0.95));
}

// Three fresh libraries behind a reference host, opened through the library set.
class Libraries {
public:
    Libraries()
        : m_folder(fs::temp_directory_path() /
                   ("vaultry-access-bench-" + std::to_string(::getpid()))) {
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        std::ofstream(m_folder / "settings.ini")
            << "[libraries]\nfolder = " << m_folder.string() << "\n";
        m_host = std::make_unique<ReferenceHost>((m_folder / "settings.ini").string());
        m_host->Settings().SetStatusBar(nullptr);
        for (const char* name : {"master", "corporate", "user"}) {
            LibrarySchema::CreateLibrary((m_folder / (std::string(name) + ".zblib")).c_str(), name,
                                         Generation::kCurrent);
        }
        RegisterBuiltInPlugIns();
        AssureDBLoaded();
    }
    ~Libraries() {
        UnloadDB();
        m_host.reset();
        fs::remove_all(m_folder);
    }
    std::string RawPath() const { return (m_folder / "raw.zblib").string(); }

private:
    fs::path m_folder;
    std::unique_ptr<ReferenceHost> m_host;
};

std::unique_ptr<CBlob> Encode(CDrwGroup& part) {
    CLibraryObject encoder;
    encoder.AddObjectToList(&part);
    std::unique_ptr<CBlob> blob(
        encoder.EncodeBlob(nullptr, nullptr, nullptr, nullptr, nullptr, false));
    encoder.EmptyObjectList();
    return blob;
}

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
    for (auto _ : state) {
        state.PauseTiming();
        Libraries libraries;
        CDrwObList list;
        for (int i = 0; i < kParts; ++i) {
            list.Add(Part(i).release());
        }
        state.ResumeTiming();
        GetAccessDB(DATABASETYPE_USER)->SaveObjects(nullptr, &list, 1, nullptr, nullptr);
        state.PauseTiming();
        list.DestroyContent();
        state.ResumeTiming();
    }
}

// The same parts, encoded, written as blob and part rows in batches of 64 per transaction.
void SaveObjects_Raw(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Libraries libraries;
        LibrarySchema::CreateLibrary(libraries.RawPath().c_str(), "raw", Generation::kCurrent);
        sqlite3* db = OpenRaw(libraries.RawPath());
        sqlite3_stmt* blob = nullptr;
        sqlite3_stmt* part = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO tBlobs (blbBlob, lBlobSize) VALUES (?,?)", -1, &blob,
                           nullptr);
        sqlite3_prepare_v2(
            db,
            "INSERT INTO tObjects (strObjectName,lUserID,lObjectTreeID,lObjectTypeID,lBlobID) "
            "VALUES (?,0,1,1,?)",
            -1, &part, nullptr);
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
            if (i % 64 == 63 || i + 1 == kParts) {
                sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
            }
        }
        state.PauseTiming();
        sqlite3_finalize(blob);
        sqlite3_finalize(part);
        sqlite3_close(db);
        state.ResumeTiming();
    }
}

// A user library holding kParts parts, made once for the load benchmarks; the raw side reads
// the same file.
Libraries& Stored() {
    static Libraries libraries;
    static const bool filled = [] {
        CDrwObList list;
        for (int i = 0; i < kParts; ++i) {
            list.Add(Part(i).release());
        }
        GetAccessDB(DATABASETYPE_USER)->SaveObjects(nullptr, &list, 1, nullptr, nullptr);
        return true;
    }();
    (void)filled;
    return libraries;
}

std::string UserPath() {
    return GetAccessDB(DATABASETYPE_USER)->GetName().str();
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
    CMSAccessDBHandler* user = GetAccessDB(DATABASETYPE_USER);
    long id = 1;
    for (auto _ : state) {
        CDrwGroup* group = nullptr;
        CLayerDefinition layers;
        CColorDefinition colours;
        user->LoadObject(nullptr, group, id, &layers, &colours);
        delete group;
        id = id % kParts + 1;
    }
}

// The same part row and blob read by id, and decoded.
void LoadObject_Raw(benchmark::State& state) {
    Stored();
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
        const CBlob blob(static_cast<const BYTE*>(sqlite3_column_blob(find, 1)),
                         static_cast<DWORD>(sqlite3_column_bytes(find, 1)));
        sqlite3_reset(find);
        CLibraryObject decoder;
        CLayerDefinition layers;
        CColorDefinition colours;
        decoder.DecodeBlob(nullptr, nullptr, nullptr, nullptr, nullptr, &blob, &layers, &colours);
        decoder.DestroyObjectList();
        id = id % kParts + 1;
    }
    sqlite3_finalize(find);
    sqlite3_close(db);
}

void LoadObjects_Dao(benchmark::State& state) {
    Stored();
    CMSAccessDBHandler* user = GetAccessDB(DATABASETYPE_USER);
    int i = 0;
    for (auto _ : state) {
        CStringArray names;
        names.Add(CString("R") + std::to_string(i).c_str());
        CDrawObject** objects = nullptr;
        user->LoadObjects(nullptr, objects, names, "Footprint", nullptr, nullptr);
        delete objects[0];
        delete[] objects;
        i = (i + 1) % kParts;
    }
}

void LoadObjects_Raw(benchmark::State& state) {
    Stored();
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
        while (sqlite3_step(find) == SQLITE_ROW) {
            const CBlob blob(static_cast<const BYTE*>(sqlite3_column_blob(find, 1)),
                             static_cast<DWORD>(sqlite3_column_bytes(find, 1)));
            CLibraryObject decoder;
            decoder.DecodeBlob(nullptr, nullptr, nullptr, nullptr, nullptr, &blob, nullptr,
                               nullptr);
            decoder.DestroyObjectList();
        }
        sqlite3_reset(find);
        i = (i + 1) % kParts;
    }
    sqlite3_finalize(find);
    sqlite3_close(db);
}

constexpr int kCategories = 10000;
constexpr int kCopiedParts = 1000;

// kCategories categories below the user root, ten to a parent, made with plain SQL.
void FillCategories(CMSAccessDBHandler* tier) {
    sqlite3* db = OpenRaw(tier->GetName().str());
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* add = nullptr;
    sqlite3_prepare_v2(
        db, "INSERT INTO tObjectTree (strName,lLevel,lUserID,lParentID) VALUES (?,?,0,?)", -1, &add,
        nullptr);
    for (int i = 0; i < kCategories; ++i) {
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
    FillCategories(user);
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
    FillCategories(user);
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

// A category "Source" under the root of `tier` holding kCopiedParts parts; its id.
long FillSourceCategory(CMSAccessDBHandler* tier) {
    const long source = tier->GetRSObjectTree()->AddChild(1, "Source");
    CDrwObList list;
    for (int i = 0; i < kCopiedParts; ++i) {
        list.Add(Part(i).release());
    }
    tier->SaveObjects(nullptr, &list, source, nullptr, nullptr);
    list.DestroyContent();
    return source;
}

void CopyTree_Dao(benchmark::State& state) {
    Libraries libraries;
    CMSAccessDBHandler* user = GetAccessDB(DATABASETYPE_USER);
    CMSAccessDBHandler* corporate = GetAccessDB(DATABASETYPE_CORPORATE);
    const long source = FillSourceCategory(user);
    for (auto _ : state) {
        state.PauseTiming();
        // Each copy goes into an empty tier, as the raw side's does: no renaming.
        corporate->Execute("DELETE FROM tObjects");
        corporate->Execute("DELETE FROM tObjectTree WHERE lParentID<>lTreeID");
        state.ResumeTiming();
        corporate->CopyTree(source, 1, user);
    }
}

// The same rows and blob bytes read from one file and written to the other.
void CopyTree_Raw(benchmark::State& state) {
    Libraries libraries;
    CMSAccessDBHandler* user = GetAccessDB(DATABASETYPE_USER);
    const long source = FillSourceCategory(user);
    const std::string from = user->GetName().str();
    const std::string to = GetAccessDB(DATABASETYPE_CORPORATE)->GetName().str();
    UnloadDB();
    sqlite3* in = OpenRaw(from);
    sqlite3* out = OpenRaw(to);
    sqlite3_stmt* read = nullptr;
    sqlite3_prepare_v2(
        in,
        "SELECT o.strObjectName, b.blbBlob FROM tObjects o JOIN tBlobs b ON b.lBlobID=o.lBlobID "
        "WHERE o.lObjectTreeID=?",
        -1, &read, nullptr);
    sqlite3_stmt* blob = nullptr;
    sqlite3_stmt* part = nullptr;
    sqlite3_prepare_v2(out, "INSERT INTO tBlobs (blbBlob, lBlobSize) VALUES (?,?)", -1, &blob,
                       nullptr);
    sqlite3_prepare_v2(
        out,
        "INSERT INTO tObjects (strObjectName,lUserID,lObjectTreeID,lObjectTypeID,lBlobID) "
        "VALUES (?,0,1,1,?)",
        -1, &part, nullptr);
    for (auto _ : state) {
        state.PauseTiming();
        sqlite3_exec(out, "DELETE FROM tObjects", nullptr, nullptr, nullptr);
        state.ResumeTiming();
        sqlite3_bind_int64(read, 1, source);
        int n = 0;
        while (sqlite3_step(read) == SQLITE_ROW) {
            if (n++ % 64 == 0) {
                sqlite3_exec(out, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
            }
            sqlite3_bind_blob(blob, 1, sqlite3_column_blob(read, 1), sqlite3_column_bytes(read, 1),
                              SQLITE_TRANSIENT);
            sqlite3_bind_int(blob, 2, sqlite3_column_bytes(read, 1));
            sqlite3_step(blob);
            sqlite3_reset(blob);
            sqlite3_bind_text(part, 1, reinterpret_cast<const char*>(sqlite3_column_text(read, 0)),
                              -1, SQLITE_TRANSIENT);
            sqlite3_bind_int64(part, 2, sqlite3_last_insert_rowid(out));
            sqlite3_step(part);
            sqlite3_reset(part);
            if (n % 64 == 0) {
                sqlite3_exec(out, "COMMIT", nullptr, nullptr, nullptr);
            }
        }
        if (n % 64 != 0) {
            sqlite3_exec(out, "COMMIT", nullptr, nullptr, nullptr);
        }
        sqlite3_reset(read);
    }
    sqlite3_finalize(read);
    sqlite3_finalize(blob);
    sqlite3_finalize(part);
    sqlite3_close(in);
    sqlite3_close(out);
}

}  // namespace

BENCHMARK(CheckForCache_Raw)
    ->Name("CheckForCache10000/Raw")
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(CheckForCache_Dao)
    ->Name("CheckForCache10000/Dao")
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
        {{"SaveObjects10000/Dao", "SaveObjects10000/Raw", 2.0},
         {"LoadObject/Dao", "LoadObject/Raw", 2.0},
         {"LoadObjects/Dao", "LoadObjects/Raw", 2.0},
         {"CheckForCache10000/Dao", "CheckForCache10000/Raw", 2.0},
         {"CopyTree1000/Dao", "CopyTree1000/Raw", 2.0}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
