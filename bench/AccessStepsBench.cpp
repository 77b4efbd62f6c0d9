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

// A set's requery: the membership bound and the first row in one statement.
const std::string kFirstPart =
    "SELECT (SELECT max(rowid) FROM tObjects),rowid,tObjects.* FROM tObjects WHERE rowid<=? "
    "ORDER BY rowid LIMIT 1";
const std::string kFirstPartNamed =
    "SELECT lBlobID,(SELECT max(rowid) FROM tObjects),rowid,tObjects.* FROM tObjects WHERE "
    "rowid<=? AND strObjectName=? ORDER BY rowid LIMIT 1";
const std::string kPartByID =
    "SELECT lBlobID,rowid,tObjects.* FROM tObjects WHERE rowid<=? AND lObjectID=? ORDER BY "
    "rowid LIMIT 1";
const std::string kNextPartNamed =
    "SELECT rowid FROM tObjects WHERE rowid<=? AND strObjectName=? AND rowid>? ORDER BY rowid "
    "LIMIT 1";
const std::string kBlobByID =
    "SELECT rowid,lBlobID,lBlobSize,blbBlob FROM tBlobs WHERE rowid<=? AND lBlobID=? ORDER BY "
    "rowid LIMIT 1";
const std::string kFirstType =
    "SELECT (SELECT max(rowid) FROM tObjectTypes),rowid,tObjectTypes.* FROM tObjectTypes WHERE "
    "rowid<=? ORDER BY rowid LIMIT 1";
const std::string kTypesOfDocument =
    "SELECT lObjectTypeID FROM tObjectTypes WHERE strDocumentType IN(?) ORDER BY lObjectTypeID";
const std::string kNameCount = "SELECT Count(*) FROM tObjects WHERE strObjectName=?";
// MoveLast over the rows a set added: the new blob row read back.
const std::string kBlobsAddedSince =
    "SELECT rowid,lBlobID,lBlobSize,blbBlob FROM tBlobs WHERE rowid<=? AND rowid>? ORDER BY "
    "rowid DESC";
const std::string kAddPart =
    "INSERT INTO tObjects (strObjectName,lUserID,lObjectTreeID,lObjectTypeID,lBlobID) VALUES "
    "(?,0,1,1,?)";

// Throws when the bytes do not decode: a failure must not be timed as work.
std::unique_ptr<CDrwGroup> Decode(const RawStatements::Bytes& bytes,
                                  const StoredFootprintBlock& block) {
    auto part = DecodePart(bytes.data(), static_cast<int>(bytes.size()), block.Info());
    if (part == nullptr) {
        throw std::runtime_error("a stored part did not decode");
    }
    return part;
}

// SaveObjects: per part a savepoint around the name check and the store, whose blob and row
// are written in a savepoint of their own and the blob read back for its id; 64 parts to a
// transaction.
void SaveObjects_Steps(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Libraries libraries;
        vaultry::tables::LibrarySchema::CreateLibrary(libraries.RawPath().c_str(), "raw",
                                                      vaultry::tables::Generation::kCurrent);
        sqlite3* db = OpenRaw(libraries.RawPath());
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
                const std::string name = Numbered("R", i);
                raw.Run("SAVEPOINT part");
                raw.Run(kNameCount, {name});
                const auto encoded = Encode(*parts[static_cast<std::size_t>(i)]);
                raw.Run("SAVEPOINT store");
                raw.Run(
                    "INSERT INTO tBlobs (blbBlob,lBlobSize) VALUES (?,?)",
                    {RawStatements::Bytes(encoded->m_pData, encoded->m_pData + encoded->m_nSize),
                     std::int64_t{encoded->m_nSize}});
                const std::int64_t blob =
                    raw.Run(kBlobsAddedSince, {kAll, sqlite3_last_insert_rowid(db) - 1});
                raw.Run(kAddPart, {name, blob});
                raw.Run("RELEASE store");
                raw.Run("RELEASE part");
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

// LoadObject by id: two requeries of the part set (the second with its default statement), a
// find by id, the blob, in one read transaction; then the decode.
void LoadObject_Steps(benchmark::State& state) {
    Stored();
    const StoredFootprintBlock block(UserPath());
    sqlite3* db = OpenRaw(UserPath());
    {
        RawStatements raw(db);
        long id = 1;
        for (auto _ : state) {
            raw.Run("BEGIN");
            raw.Run(kFirstPart, {kAll});
            raw.Run(kFirstPart, {kAll});
            const std::int64_t blobID = raw.Run(kPartByID, {kAll, std::int64_t{id}});
            raw.Run(kBlobByID, {kAll, blobID});
            const RawStatements::Bytes blob = raw.LastColumn();
            raw.Run("ROLLBACK");
            Decode(blob, block);
            id = id % kParts + 1;
        }
    }
    sqlite3_close(db);
}

// LoadObjects of one name: the type set reopened and the types of the document type read, the
// part set filtered by the name and walked to its end, the blob; then the decode.
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
            raw.Run(kFirstType, {kAll});
            raw.Run(kTypesOfDocument, {std::string("Footprint")});
            const std::int64_t blobID = raw.Run(kFirstPartNamed, {kAll, name});
            raw.Run(kBlobByID, {kAll, blobID});
            const auto blob = raw.LastColumn();
            raw.Run(kNextPartNamed, {kAll, name, kAll});
            raw.Run("ROLLBACK");
            Decode(blob, block);
            i = (i + 1) % kParts;
        }
    }
    sqlite3_close(db);
}

// CopyTree of one category across tiers, part by part as CopyObject and SaveObject go: load by
// id in the source; in the destination the name checks, the lookup of a same-named part of the
// document type, the blob written and read back, the part row, the set requeried; 64 parts to
// a transaction.
void CopyTree_Steps(benchmark::State& state) {
    Libraries libraries;
    const long source = FillSourceCategory(GetAccessDB(DATABASETYPE_USER));
    const std::string from = UserPath();
    const std::string to = GetAccessDB(DATABASETYPE_CORPORATE)->GetName().str();
    UnloadDB();
    const StoredFootprintBlock block(from);
    sqlite3* in = OpenRaw(from);
    sqlite3* out = OpenRaw(to);
    {
        RawStatements read(in);
        RawStatements write(out);
        for (auto _ : state) {
            state.PauseTiming();
            write.Run("DELETE FROM tObjects");
            state.ResumeTiming();
            std::vector<std::int64_t> ids;
            sqlite3_stmt* parts = nullptr;
            sqlite3_prepare_v2(in, "SELECT lObjectID FROM tObjects WHERE lObjectTreeID=?", -1,
                               &parts, nullptr);
            sqlite3_bind_int64(parts, 1, source);
            while (sqlite3_step(parts) == SQLITE_ROW) {
                ids.push_back(sqlite3_column_int64(parts, 0));
            }
            sqlite3_finalize(parts);
            int n = 0;
            for (; n < static_cast<int>(ids.size()); ++n) {
                const std::int64_t id = ids[static_cast<std::size_t>(n)];
                read.Run("BEGIN");
                read.Run(kFirstPart, {kAll});
                read.Run(kFirstPart, {kAll});
                const std::int64_t blobID = read.Run(kPartByID, {kAll, id});
                read.Run(kBlobByID, {kAll, blobID});
                const RawStatements::Bytes blob = read.LastColumn();
                read.Run("ROLLBACK");
                const auto group = Decode(blob, block);
                const std::string name = Numbered("R", n);
                if (n % 64 == 0) {
                    write.Run("BEGIN IMMEDIATE");
                }
                write.Run(kNameCount, {name});
                write.Run("SAVEPOINT part");
                write.Run(kFirstType, {kAll});
                write.Run(kTypesOfDocument, {std::string("Footprint")});
                write.Run(kFirstPartNamed, {kAll, name});
                write.Run("SELECT max(rowid) FROM tObjects");
                write.Run(kNameCount, {name});
                write.Run("SAVEPOINT store");
                const auto encoded = Encode(*group);
                write.Run(
                    "INSERT INTO tBlobs (blbBlob,lBlobSize) VALUES (?,?)",
                    {RawStatements::Bytes(encoded->m_pData, encoded->m_pData + encoded->m_nSize),
                     std::int64_t{encoded->m_nSize}});
                const std::int64_t newBlob =
                    write.Run(kBlobsAddedSince, {kAll, sqlite3_last_insert_rowid(out) - 1});
                write.Run(kAddPart, {name, newBlob});
                write.Run("RELEASE store");
                write.Run("RELEASE part");
                write.Run(kFirstPartNamed, {kAll, name});
                if (n % 64 == 63) {
                    write.Run("COMMIT");
                }
            }
            if (n % 64 != 0) {
                write.Run("COMMIT");
            }
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
