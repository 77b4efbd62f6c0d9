// The statements the handler's operations make, one for one, run on raw SQLite. Beside the
// plain raw benchmarks (the fewest statements that do the job) they tell the cost of the
// operations' own steps (requeries, second lookups, name checks) from the cost of our layer:
// ours/steps is the layer, steps/raw is the steps.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "bench/AccessFixtures.h"
#include "bench/RawSqlite.h"
#include "host/CDrwGroup.h"
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
using vaultry::bench::RawStatements;
using vaultry::bench::Stored;
using vaultry::bench::StoredFootprintBlock;
using vaultry::bench::UserPath;

constexpr std::int64_t kAll = std::numeric_limits<std::int64_t>::max();

// A part's blob, read in the statement that finds the part.
const std::string kBlobAlong =
    "((SELECT blbBlob FROM tBlobs WHERE tBlobs.lBlobID = tObjects.lBlobID))";
// A set's requery: the membership bound and the first row (and the one after it) in one
// statement.
const std::string kFirstPartNamed =
    "SELECT (SELECT max(rowid) FROM tObjects),rowid,tObjects.* FROM tObjects WHERE rowid<=? "
    "AND strObjectName=? ORDER BY rowid LIMIT 2";
const std::string kFirstPartNamedWithBlob =
    "SELECT (SELECT max(rowid) FROM tObjects),rowid,tObjects.*," + kBlobAlong +
    " FROM tObjects WHERE rowid<=? AND strObjectName=? ORDER BY rowid LIMIT 2";
const std::string kPartByIDWithBlob = "SELECT rowid,tObjects.*," + kBlobAlong +
                                      " FROM tObjects WHERE rowid<=? AND lObjectID=? ORDER BY "
                                      "rowid LIMIT 2";
const std::string kNameCount = "SELECT Count(*) FROM tObjects WHERE strObjectName=?";
const std::string kAddBlob = "INSERT INTO tBlobs (blbBlob,lBlobSize) VALUES (?,?)";
const std::string kAddPart =
    "INSERT INTO tObjects (strObjectName,lUserID,lObjectTreeID,lObjectTypeID,lBlobID) VALUES "
    "(?,0,?,1,?)";
const std::string kMeasure =
    "INSERT INTO tPartGeometry (lObjectID, lPadCount, lPitch, lRowCount, lSpan, lBodyWidth, "
    "lBodyHeight, bSmd) VALUES (?,?,?,?,?,?,?,?) ON CONFLICT (lObjectID) DO UPDATE SET "
    "lPadCount=excluded.lPadCount,lPitch=excluded.lPitch,lRowCount=excluded.lRowCount,"
    "lSpan=excluded.lSpan,lBodyWidth=excluded.lBodyWidth,lBodyHeight=excluded.lBodyHeight,"
    "bSmd=excluded.bSmd";

// A store as the handler makes it: the name test (unless the caller made it), then in one
// savepoint the blob, the part and the part's measurement row.
void Store(RawStatements& raw, sqlite3* db, const std::string& name, std::int64_t treeID,
           CDrwGroup& part, bool nameTested = false) {
    if (!nameTested) {
        raw.Run(kNameCount, {name});
    }
    raw.Run("SAVEPOINT store");
    const auto encoded = Encode(part);
    raw.Run(kAddBlob, {RawStatements::Bytes(encoded->m_pData, encoded->m_pData + encoded->m_nSize),
                       std::int64_t{encoded->m_nSize}});
    const std::int64_t blob = sqlite3_last_insert_rowid(db);  // the id is the row id
    raw.Run(kAddPart, {name, treeID, blob});
    const std::int64_t id = sqlite3_last_insert_rowid(db);
    const PartGeometry g = MeasureGeometry(part);
    raw.Run(kMeasure, {id, std::int64_t{g.padCount}, std::int64_t{g.pitch},
                       std::int64_t{g.rowCount}, std::int64_t{g.span}, std::int64_t{g.bodyWidth},
                       std::int64_t{g.bodyHeight}, std::int64_t{g.smd ? 1 : 0}});
    raw.Run("RELEASE store");
}

// Throws when the bytes do not decode: a failure must not be timed as work.
std::unique_ptr<CDrwGroup> Decode(const RawStatements::Bytes& bytes,
                                  const StoredFootprintBlock& block) {
    auto part = DecodePart(bytes.data(), static_cast<int>(bytes.size()), block.Info());
    if (part == nullptr) {
        throw std::runtime_error("a stored part did not decode");
    }
    return part;
}

// SaveObjects: each part stored as above, 64 parts to a transaction.
void SaveObjects_Steps(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Libraries libraries;
        vaultry::tables::LibrarySchema::CreateLibrary(libraries.RawPath().c_str(), "raw",
                                                      vaultry::tables::Generation::kCurrent);
        sqlite3* db = OpenRaw(libraries.RawPath());
        vaultry::bench::CreateMeasurementTable(db);
        std::vector<std::unique_ptr<CDrwGroup>> parts;
        for (int i = 0; i < kParts; ++i) {
            parts.push_back(vaultry::bench::Part(i));
        }
        state.ResumeTiming();
        {
            RawStatements raw(db);
            for (int i = 0; i < kParts; ++i) {
                if (i % 64 == 0) {
                    raw.Run("BEGIN IMMEDIATE");
                }
                Store(raw, db, Numbered("R", i), 1, *parts[static_cast<std::size_t>(i)]);
                if (i % 64 == 63 || i + 1 == kParts) {
                    raw.Run("COMMIT");
                }
            }
        }
        state.PauseTiming();
        sqlite3_close(db);
        state.ResumeTiming();
    }
}

// LoadObject by id: the part with its blob, in one read transaction; then the decode.
void LoadObject_Steps(benchmark::State& state) {
    Stored();
    const StoredFootprintBlock block(UserPath());
    sqlite3* db = OpenRaw(UserPath());
    {
        RawStatements raw(db);
        long id = 1;
        for (auto _ : state) {
            raw.Run("BEGIN");
            raw.Run(kPartByIDWithBlob, {kAll, std::int64_t{id}});
            const RawStatements::Bytes blob = raw.LastColumn();
            raw.Run("ROLLBACK");
            Decode(blob, block);
            id = id % kParts + 1;
        }
    }
    sqlite3_close(db);
}

// LoadObjects of one name: the part set filtered by the name (its first row, with its blob, and
// whether another follows); then the decode, whose type lookup also tells the document type.
void LoadObjects_Steps(benchmark::State& state) {
    Stored();
    const StoredFootprintBlock block(UserPath());
    sqlite3* db = OpenRaw(UserPath());
    {
        RawStatements raw(db);
        int i = 0;
        for (auto _ : state) {
            const std::string name = Numbered("R", i);
            raw.Run("BEGIN");
            raw.Run(kFirstPartNamedWithBlob, {kAll, name});
            const auto blob = raw.LastColumn();
            raw.Run("ROLLBACK");
            Decode(blob, block);
            i = (i + 1) % kParts;
        }
    }
    sqlite3_close(db);
}

// CopyTree of one category across tiers as CopyTree goes: one transaction; the category's
// parts walked with their blobs; for each, in the destination, the free-name test and the
// store; the destination's part set requeried at the end.
void CopyTree_Steps(benchmark::State& state) {
    Libraries libraries;
    const long source = FillSourceCategory(GetAccessDB(DATABASETYPE_USER));
    const std::string from = UserPath();
    const std::string to = GetAccessDB(DATABASETYPE_CORPORATE)->GetName().str();
    UnloadDB();
    const StoredFootprintBlock block(from);
    sqlite3* in = OpenRaw(from);
    sqlite3* out = OpenRaw(to);
    vaultry::bench::CreateMeasurementTable(out);
    {
        RawStatements write(out);
        for (auto _ : state) {
            state.PauseTiming();
            write.Run("DELETE FROM tObjects");
            write.Run("DELETE FROM tPartGeometry");
            state.ResumeTiming();
            write.Run("BEGIN IMMEDIATE");
            sqlite3_stmt* parts = nullptr;
            sqlite3_prepare_v2(in,
                               ("SELECT rowid,tObjects.*," + kBlobAlong +
                                " FROM tObjects WHERE lObjectTreeID=? ORDER BY rowid")
                                   .c_str(),
                               -1, &parts, nullptr);
            sqlite3_bind_int64(parts, 1, source);
            for (int n = 0; sqlite3_step(parts) == SQLITE_ROW; ++n) {
                const int blob = sqlite3_column_count(parts) - 1;
                const auto* bytes = static_cast<const BYTE*>(sqlite3_column_blob(parts, blob));
                const auto group = Decode(
                    RawStatements::Bytes(bytes, bytes + sqlite3_column_bytes(parts, blob)), block);
                const std::string name = Numbered("R", n);
                write.Run(kNameCount, {name});
                Store(write, out, name, 2, *group, true);
            }
            sqlite3_finalize(parts);
            write.Run(kFirstPartNamed, {kAll, std::string("R0")});
            write.Run("COMMIT");
        }
    }
    sqlite3_close(in);
    sqlite3_close(out);
}

}  // namespace

BENCHMARK(CopyTree_Steps)->Name("CopyTree1000/Steps")->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(SaveObjects_Steps)
    ->Name("SaveObjects10000/Steps")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(LoadObject_Steps)->Name("LoadObject/Steps");
BENCHMARK(LoadObjects_Steps)->Name("LoadObjects/Steps");
