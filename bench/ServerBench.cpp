// The user library on a PostgreSQL server (a private cluster this program starts and stops, as
// the tests do): storing and loading parts through the handler beside libpq alone doing the
// same rows and bytes over the same socket.

#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "bench/AccessFixtures.h"
#include "bench/RatioReporter.h"
#include "host/BuiltInPlugIns.h"
#include "host/CDrwObList.h"
#include "host/PartGeometry.h"
#include "tables/LibrarySchema.h"

namespace fs = std::filesystem;
using vaultry::bench::Encode;
using vaultry::bench::kParts;
using vaultry::bench::Numbered;
using vaultry::bench::Part;
using vaultry::tables::Generation;
using vaultry::tables::LibrarySchema;

namespace {

// The cluster, for the whole run.
class Cluster {
public:
    Cluster() : m_folder("/tmp/vaultry-pg-bench-" + std::to_string(::getpid())) {
        Run("start");
        if (!fs::exists(m_folder + "/ready")) {
            throw std::runtime_error("no PostgreSQL server on this machine");
        }
    }
    ~Cluster() { Run("stop"); }
    Cluster(const Cluster&) = delete;
    Cluster& operator=(const Cluster&) = delete;

    // A new schema's connection string.
    std::string NewSchema() {
        const std::string schema = "bench_" + std::to_string(++m_schemas);
        PGconn* db = PQconnectdb(Location("").c_str());
        PQclear(PQexec(db, ("CREATE SCHEMA " + schema).c_str()));
        PQfinish(db);
        return Location(schema);
    }

private:
    void Run(const char* action) const {
        const std::string command = std::string(VAULTRY_POSTGRES_CLUSTER_SCRIPT) + " " + action +
                                    " " + m_folder + " >/dev/null";
        if (std::system(command.c_str()) != 0) {
            throw std::runtime_error("the cluster script failed");
        }
    }
    std::string Location(const std::string& schema) const {
        std::string location = "postgresql:///tests?host=" + m_folder + "&user=vaultry";
        return schema.empty() ? location : location + "&options=-csearch_path%3D" + schema;
    }

    std::string m_folder;
    int m_schemas = 0;
};

Cluster& TheCluster() {
    static Cluster cluster;
    return cluster;
}

// Master and corporate files, the user library on the server, loaded as the library set.
class ServerLibraries {
public:
    ServerLibraries()
        : m_folder(fs::temp_directory_path() /
                   ("vaultry-server-bench-" + std::to_string(::getpid()) + "-" +
                    std::to_string(++s_instances))),
          m_user(TheCluster().NewSchema()) {
        fs::create_directories(m_folder);
        std::ofstream(m_folder / "settings.ini")
            << "[libraries]\nfolder = " << m_folder.string() << "\nuser = " << m_user << "\n";
        m_host = std::make_unique<ReferenceHost>((m_folder / "settings.ini").string());
        m_host->Settings().SetStatusBar(nullptr);
        for (const std::string& path : {(m_folder / "master.zblib").string(),
                                        (m_folder / "corporate.zblib").string(), m_user}) {
            LibrarySchema::CreateLibrary(path.c_str(), "bench", Generation::kCurrent);
        }
        RegisterBuiltInPlugIns();
        AssureDBLoaded();
    }
    ~ServerLibraries() {
        UnloadDB();
        m_host.reset();
        fs::remove_all(m_folder);
    }
    const std::string& User() const { return m_user; }
    // A store's fresh set may have been loaded since: the store and the loads run in turns.
    void MakeCurrent() { vaultry::bench::MakeCurrent(*m_host); }

private:
    static inline int s_instances = 0;
    fs::path m_folder;
    std::string m_user;
    std::unique_ptr<ReferenceHost> m_host;
};

ServerLibraries& Stored() {
    static ServerLibraries libraries;
    static const bool filled = [] {
        vaultry::bench::StoreParts();
        return true;
    }();
    (void)filled;
    libraries.MakeCurrent();
    return libraries;
}

// A statement prepared once on a raw connection, run with text parameters (bytes for bytea).
class RawStatement {
public:
    RawStatement(PGconn* db, const char* name, const char* sql) : m_db(db), m_name(name) {
        PQclear(PQprepare(db, name, sql, 0, nullptr));
    }
    PGresult* Run(const std::vector<std::string>& values, const std::vector<int>& binary = {}) {
        std::vector<const char*> texts;
        std::vector<int> lengths;
        std::vector<int> formats;
        for (std::size_t i = 0; i < values.size(); ++i) {
            texts.push_back(values[i].data());
            lengths.push_back(static_cast<int>(values[i].size()));
            formats.push_back(i < binary.size() ? binary[i] : 0);
        }
        return PQexecPrepared(m_db, m_name, static_cast<int>(values.size()), texts.data(),
                              lengths.data(), formats.data(), 0);
    }

private:
    PGconn* m_db;
    const char* m_name;
};

void SaveObjects_Server(benchmark::State& state) {
    vaultry::bench::StoreIntoFresh<ServerLibraries>(state);
}

// The same parts, encoded and measured, written as blob, part and measurement rows in batches
// of 64 per transaction, each taking the library's write lock as ours do.
void SaveObjects_RawLibpq(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        ServerLibraries libraries;
        PGconn* db = PQconnectdb(libraries.User().c_str());
        PQclear(PQexec(db,
                       "CREATE TABLE IF NOT EXISTS tpartgeometry (lobjectid integer NOT NULL, "
                       "lpadcount integer, lpitch integer, lrowcount integer, lspan integer, "
                       "lbodywidth integer, lbodyheight integer, bsmd integer)"));
        RawStatement blob(db, "blob",
                          "INSERT INTO tblobs (blbblob, lblobsize) VALUES ($1,$2) RETURNING "
                          "lblobid");
        RawStatement part(db, "part",
                          "INSERT INTO tobjects (strobjectname,luserid,lobjecttreeid,"
                          "lobjecttypeid,lblobid) VALUES ($1,0,1,1,$2) RETURNING lobjectid");
        RawStatement geometry(db, "geometry",
                              "INSERT INTO tpartgeometry VALUES ($1,$2,$3,$4,$5,$6,$7,$8)");
        std::vector<std::unique_ptr<CDrwGroup>> parts;
        for (int i = 0; i < kParts; ++i) {
            parts.push_back(Part(i));
        }
        state.ResumeTiming();
        for (int i = 0; i < kParts; ++i) {
            if (i % 64 == 0) {
                PQclear(
                    PQexec(db, "BEGIN; SELECT pg_advisory_xact_lock(hashtext(current_schema()))"));
            }
            auto& drawn = *parts[static_cast<std::size_t>(i)];
            const auto bytes = Encode(drawn);
            PGresult* blobRow = blob.Run(
                {std::string(reinterpret_cast<const char*>(bytes->m_pData), bytes->m_nSize),
                 std::to_string(bytes->m_nSize)},
                {1, 0});
            const std::string blobID = PQgetvalue(blobRow, 0, 0);
            PQclear(blobRow);
            PGresult* partRow = part.Run({Numbered("R", i), blobID});
            const std::string partID = PQgetvalue(partRow, 0, 0);
            PQclear(partRow);
            const PartGeometry g = MeasureGeometry(drawn);
            PQclear(geometry.Run({partID, std::to_string(g.padCount), std::to_string(g.pitch),
                                  std::to_string(g.rowCount), std::to_string(g.span),
                                  std::to_string(g.bodyWidth), std::to_string(g.bodyHeight),
                                  g.smd ? "1" : "0"}));
            if (i % 64 == 63 || i + 1 == kParts) {
                PQclear(PQexec(db, "COMMIT"));
            }
        }
        state.PauseTiming();
        PQfinish(db);
        state.ResumeTiming();
    }
}

void LoadObject_Server(benchmark::State& state) {
    Stored();
    vaultry::bench::LoadEachById(state, GetAccessDB(DATABASETYPE_USER));
}

void LoadObjects_Server(benchmark::State& state) {
    Stored();
    vaultry::bench::LoadEachByName(state, GetAccessDB(DATABASETYPE_USER));
}

// The part row and blob read by `condition` on $1 (bytea as text, as the handler reads it) and
// decoded against the type's block, read once.
void LoadRaw(benchmark::State& state, const char* condition, bool byName) {
    PGconn* db = PQconnectdb(Stored().User().c_str());
    PGresult* stored =
        PQexec(db,
               "SELECT b.blbblob FROM tobjecttypes t JOIN tblobs b ON b.lblobid=t.lblobid "
               "WHERE t.strdocumenttype='Footprint'");
    std::size_t length = 0;
    unsigned char* bytes =
        PQunescapeBytea(reinterpret_cast<const unsigned char*>(PQgetvalue(stored, 0, 0)), &length);
    const vaultry::bench::StoredFootprintBlock block(bytes, static_cast<UINT>(length));
    PQfreemem(bytes);
    PQclear(stored);
    RawStatement find(db, "find",
                      (std::string("SELECT o.lobjecttypeid, b.blbblob FROM tobjects o JOIN tblobs "
                                   "b ON b.lblobid=o.lblobid WHERE ") +
                       condition)
                          .c_str());
    long n = 0;
    for (auto _ : state) {
        PGresult* row = find.Run({byName ? Numbered("R", n) : std::to_string(n + 1)});
        std::unique_ptr<CDrwGroup> part;
        for (int r = 0; r < PQntuples(row); ++r) {
            unsigned char* blob = PQunescapeBytea(
                reinterpret_cast<const unsigned char*>(PQgetvalue(row, r, 1)), &length);
            part = vaultry::bench::DecodePart(blob, static_cast<int>(length), block.Info());
            PQfreemem(blob);
        }
        PQclear(row);
        if (part == nullptr) {
            state.SkipWithError("a stored part did not decode");
            break;
        }
        n = (n + 1) % kParts;
    }
    PQfinish(db);
}

void LoadObject_RawLibpq(benchmark::State& state) {
    LoadRaw(state, "o.lobjectid=$1", false);
}

// Names compare as the library compares them: folded, through the index on the folding.
void LoadObjects_RawLibpq(benchmark::State& state) {
    LoadRaw(state, "jet_fold(o.strobjectname)=jet_fold($1)", true);
}

}  // namespace

BENCHMARK(LoadObject_RawLibpq)->Name("LoadObject/RawLibpq");
BENCHMARK(LoadObject_Server)->Name("LoadObject/Server");
BENCHMARK(LoadObjects_RawLibpq)->Name("LoadObjects/RawLibpq");
BENCHMARK(LoadObjects_Server)->Name("LoadObjects/Server");
BENCHMARK(SaveObjects_RawLibpq)
    ->Name("SaveObjects10000/RawLibpq")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(SaveObjects_Server)
    ->Name("SaveObjects10000/Server")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    vaultry::bench::RatioReporter reporter(
        {{"SaveObjects10000/Server", "SaveObjects10000/RawLibpq", 1.5},
         {"LoadObject/Server", "LoadObject/RawLibpq", 1.5},
         {"LoadObjects/Server", "LoadObjects/RawLibpq", 1.5}});
    try {
        TheCluster();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "server_bench: %s\n", e.what());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
