// The DAO layer beside raw SQLite doing the same work on the same kind of file: inserting
// 100,000 parts with 2 KB blobs in one transaction, finding a part by key and by name typed in
// another case, and re-querying a set on a 100,000-row table to read its first row.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

#include "bench/RatioReporter.h"
#include "bench/RawSqlite.h"
#include "platform/afx/CByteArray.h"
#include "platform/dao/CDaoDatabase.h"
#include "platform/dao/CDaoFieldExchange.h"
#include "platform/dao/CDaoRecordset.h"
#include "platform/dao/CDaoTableDef.h"
#include "platform/dao/DaoTransaction.h"

namespace {

using vaultry::bench::OpenRaw;

constexpr int kRows = 100000;
constexpr int kBlobBytes = 2048;

std::string BenchFile(const char* name) {
    return (std::filesystem::temp_directory_path() /
            (std::string("vaultry-bench-") + name + std::to_string(::getpid()) + ".zblib"))
        .string();
}

void RemoveDatabase(const std::string& path) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        std::filesystem::remove(path + suffix);
    }
}

std::string PartName(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "Part-%06d", i);
    return name;
}

std::string UpperName(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "PART-%06d", i);
    return name;
}

class CPartSet : public CDaoRecordset {
public:
    explicit CPartSet(CDaoDatabase* database) : CDaoRecordset(database) {}
    CString GetDefaultSQL() override { return "SELECT tParts.* FROM tParts"; }
    void DoFieldExchange(CDaoFieldExchange* pFX) override {
        DFX_Long(pFX, "[lPartID]", m_lPartID);
        DFX_Text(pFX, "[strName]", m_strName);
        DFX_Long(pFX, "[lOwner]", m_lOwner);
        DFX_Binary(pFX, "[blbData]", m_blbData, 8192);
    }
    long m_lPartID = 0;
    CString m_strName;
    long m_lOwner = 0;
    CByteArray m_blbData;
};

void CreateSchema(CDaoDatabase& database) {
    CDaoTableDef table(&database);
    table.Create("tParts");
    table.CreateField("lPartID", dbLong, 4, dbAutoIncrField);
    table.CreateField("strName", dbText, 255);
    table.CreateField("lOwner", dbLong, 4);
    table.CreateField("blbData", dbLongBinary, 0);
    table.Append();
    database.Execute("CREATE INDEX idxPartsName ON tParts (strName)");
}

// Opens `path` raw, with the collation its text columns were declared with.
void InsertRaw(sqlite3* db, const std::vector<unsigned char>& blob) {
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO tParts (strName, lOwner, blbData) VALUES (?,?,?)", -1,
                       &insert, nullptr);
    for (int i = 0; i < kRows; ++i) {
        const std::string name = PartName(i);
        sqlite3_bind_text(insert, 1, name.c_str(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 2, i % 7);
        sqlite3_bind_blob(insert, 3, blob.data(), kBlobBytes, SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

// The 100,000-row library the lookups run on, made once per run.
const std::string& LookupLibrary() {
    static const std::string path = [] {
        const std::string file = BenchFile("lookup");
        RemoveDatabase(file);
        {
            CDaoDatabase database;
            database.Create(file.c_str());
            CreateSchema(database);
        }
        sqlite3* db = OpenRaw(file);
        InsertRaw(db, std::vector<unsigned char>(kBlobBytes, 0x5A));
        sqlite3_close(db);
        std::atexit([] { RemoveDatabase(BenchFile("lookup")); });
        return file;
    }();
    return path;
}

void Insert_Raw(benchmark::State& state) {
    const std::vector<unsigned char> blob(kBlobBytes, 0xA5);
    for (auto _ : state) {
        state.PauseTiming();
        const std::string path = BenchFile("insert-raw");
        RemoveDatabase(path);
        {
            CDaoDatabase database;
            database.Create(path.c_str());
            CreateSchema(database);
        }
        sqlite3* db = OpenRaw(path);
        state.ResumeTiming();
        InsertRaw(db, blob);
        state.PauseTiming();
        sqlite3_close(db);
        RemoveDatabase(path);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void Insert_Dao(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const std::string path = BenchFile("insert-dao");
        RemoveDatabase(path);
        {
            CDaoDatabase database;
            database.Create(path.c_str());
            CreateSchema(database);
            CPartSet parts(&database);
            parts.Open();
            state.ResumeTiming();
            vaultry::dao::DaoTransaction transaction(database);
            for (int i = 0; i < kRows; ++i) {
                parts.AddNew();
                parts.m_strName = PartName(i);
                parts.m_lOwner = i % 7;
                parts.m_blbData.SetSize(kBlobBytes);
                std::fill(parts.m_blbData.begin(), parts.m_blbData.end(), BYTE{0xA5});
                parts.Update();
            }
            transaction.Commit();
            state.PauseTiming();
        }
        RemoveDatabase(path);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void FindByKey_Raw(benchmark::State& state) {
    sqlite3* db = OpenRaw(LookupLibrary());
    sqlite3_stmt* find = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM tParts WHERE lPartID=?", -1, &find, nullptr);
    std::mt19937 random(1);
    for (auto _ : state) {
        sqlite3_bind_int(find, 1, static_cast<int>(random() % kRows) + 1);
        sqlite3_step(find);
        benchmark::DoNotOptimize(sqlite3_column_text(find, 1));
        benchmark::DoNotOptimize(sqlite3_column_blob(find, 3));
        sqlite3_reset(find);
    }
    sqlite3_finalize(find);
    sqlite3_close(db);
}

void FindByKey_Dao(benchmark::State& state) {
    CDaoDatabase database;
    database.Open(LookupLibrary().c_str());
    CPartSet parts(&database);
    parts.Open();
    std::mt19937 random(1);
    CString filter;
    for (auto _ : state) {
        filter.Format("lPartID=%li", static_cast<long>(random() % kRows) + 1);
        benchmark::DoNotOptimize(parts.FindFirst(filter));
        benchmark::DoNotOptimize(parts.m_strName.GetString());
    }
}

void FindByName_Raw(benchmark::State& state) {
    sqlite3* db = OpenRaw(LookupLibrary());
    sqlite3_stmt* find = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM tParts WHERE strName=?", -1, &find, nullptr);
    std::mt19937 random(2);
    for (auto _ : state) {
        const std::string name = UpperName(static_cast<int>(random() % kRows));
        sqlite3_bind_text(find, 1, name.c_str(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        sqlite3_step(find);
        benchmark::DoNotOptimize(sqlite3_column_blob(find, 3));
        sqlite3_reset(find);
    }
    sqlite3_finalize(find);
    sqlite3_close(db);
}

void FindByName_Dao(benchmark::State& state) {
    CDaoDatabase database;
    database.Open(LookupLibrary().c_str());
    CPartSet parts(&database);
    parts.Open();
    std::mt19937 random(2);
    CString filter;
    for (auto _ : state) {
        filter.Format("strName='%s'", UpperName(static_cast<int>(random() % kRows)).c_str());
        benchmark::DoNotOptimize(parts.FindFirst(filter));
    }
}

void RequeryFirstRow_Dao(benchmark::State& state) {
    CDaoDatabase database;
    database.Open(LookupLibrary().c_str());
    CPartSet parts(&database);
    parts.Open();
    for (auto _ : state) {
        parts.Requery();
        benchmark::DoNotOptimize(parts.m_strName.GetString());
    }
}

}  // namespace

BENCHMARK(Insert_Raw)->Name("Insert/Raw")->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(Insert_Dao)->Name("Insert/Dao")->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(FindByKey_Raw)->Name("FindByKey/Raw");
BENCHMARK(FindByKey_Dao)->Name("FindByKey/Dao");
BENCHMARK(FindByName_Raw)->Name("FindByName/Raw");
BENCHMARK(FindByName_Dao)->Name("FindByName/Dao");
BENCHMARK(RequeryFirstRow_Dao)->Name("RequeryFirstRow/Dao");

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // Ours may take up to 1/0.7 of raw's time per operation ("at least 70% of the raw rate");
    // a requery with its first row, a few raw lookups.
    vaultry::bench::RatioReporter reporter({{"Insert/Dao", "Insert/Raw", 1.0 / 0.7},
                                            {"FindByKey/Dao", "FindByKey/Raw", 1.0 / 0.7},
                                            {"FindByName/Dao", "FindByName/Raw", 1.0 / 0.7},
                                            {"RequeryFirstRow/Dao", "FindByKey/Raw", 4.0}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
