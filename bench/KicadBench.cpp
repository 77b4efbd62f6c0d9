// KiCad's footprints imported and searched, beside raw SQLite doing the same rows in the same
// run. The whole of Debian's kicad-footprints is imported as `vaultry import-kicad` imports it
// (read, parsed, measured, encoded, a library per transaction) against raw SQLite storing the
// same names, blobs and measured rows; on the imported library, a search by land pattern, a
// listing by a name pattern and the select dialog opened on the largest library, each against
// the raw queries reading the rows they show; and the command-line programs themselves, timed
// from start to exit. Needs the package (scripts/setup.sh installs it); runs headless.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include <QApplication>
#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "access/CDatabaseRegistry.h"
#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "access/LibraryTree.h"
#include "access/PartListing.h"
#include "apps/vaultry/Commands.h"
#include "apps/vaultry/LibraryCommands.h"
#include "apps/vaultry/Session.h"
#include "bench/RatioReporter.h"
#include "bench/RawSqlite.h"
#include "dialogs/CSelectObjectDlg.h"
#include "tables/LibrarySchema.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using vaultry::bench::OpenRaw;

const fs::path kPackage = "/usr/share/kicad/footprints";
constexpr const char* kLargestLibrary = "Connector_Molex";

// Where the libraries of this run live: a settings-less home of its own.
fs::path Home() {
    static const fs::path home = [] {
        char folder[] = "/tmp/vaultry-kicad-bench-XXXXXX";
        if (mkdtemp(folder) == nullptr) {
            throw std::runtime_error("no temporary folder");
        }
        return fs::path(folder);
    }();
    return home;
}

std::vector<std::string> PackageLibraries() {
    std::vector<std::string> folders;
    for (const auto& entry : fs::directory_iterator(kPackage)) {
        if (entry.path().extension() == ".pretty") {
            folders.push_back(entry.path().string());
        }
    }
    std::sort(folders.begin(), folders.end());
    return folders;
}

// The session the benchmarks work in, on the libraries the last import made.
std::unique_ptr<vaultry::cli::Session>& TheSession() {
    static std::unique_ptr<vaultry::cli::Session> session;
    return session;
}

// New default libraries, opened; `ImportPackage` then fills the user library.
void FreshLibraries() {
    std::ostringstream out;
    TheSession().reset();
    fs::remove_all(Home() / "data");
    vaultry::cli::InitCommand("", out);
    TheSession() = std::make_unique<vaultry::cli::Session>("");
}

void ImportPackage() {
    std::ostringstream out;
    vaultry::cli::KicadImportRequest request;
    request.paths = PackageLibraries();
    vaultry::cli::ImportKicadCommand(*TheSession(), request, {out, true});
}

// The session on an imported package, imported now when no benchmark did it before (as when
// a filter leaves out the import's).
vaultry::cli::Session& Imported() {
    if (!TheSession()) {
        FreshLibraries();
        ImportPackage();
    }
    return *TheSession();
}

std::string UserLibrary() {
    Imported();
    return GetAccessDB(DATABASETYPE_USER)->GetName().str();
}

void KicadImport_Ours(benchmark::State& state) {
    long stored = 0;
    for (auto _ : state) {
        state.PauseTiming();
        FreshLibraries();
        state.ResumeTiming();
        ImportPackage();
    }
    PartQuery every;
    every.tier = DATABASETYPE_USER;
    every.everyType = true;
    stored = static_cast<long>(ListParts(every).size());
    state.counters["parts"] = static_cast<double>(stored);
    state.counters["parts/s"] = benchmark::Counter(static_cast<double>(stored),
                                                   benchmark::Counter::kIsIterationInvariantRate);
}

// One KiCad library's footprints as the import stored them: names, blobs, measured rows.
struct StoredLibrary {
    std::string name;
    struct Part {
        std::string name;
        std::vector<unsigned char> blob;
        std::int64_t type = 0;
        std::int64_t geometry[7] = {};
    };
    std::vector<Part> parts;
};

std::vector<StoredLibrary> ReadImported() {
    sqlite3* db = OpenRaw(UserLibrary());
    sqlite3_stmt* read = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT t.strName, o.strObjectName, o.lObjectTypeID, b.blbBlob, "
                       "g.lPadCount, g.lPitch, g.lRowCount, g.lSpan, g.lBodyWidth, g.lBodyHeight, "
                       "g.bSmd FROM tObjects o JOIN tObjectTree t ON t.lTreeID=o.lObjectTreeID "
                       "JOIN tBlobs b ON b.lBlobID=o.lBlobID JOIN tPartGeometry g ON "
                       "g.lObjectID=o.lObjectID ORDER BY t.strName, o.strObjectName",
                       -1, &read, nullptr);
    std::vector<StoredLibrary> libraries;
    while (sqlite3_step(read) == SQLITE_ROW) {
        const std::string library = reinterpret_cast<const char*>(sqlite3_column_text(read, 0));
        if (libraries.empty() || libraries.back().name != library) {
            libraries.push_back({library, {}});
        }
        StoredLibrary::Part part;
        part.name = reinterpret_cast<const char*>(sqlite3_column_text(read, 1));
        part.type = sqlite3_column_int64(read, 2);
        const auto* bytes = static_cast<const unsigned char*>(sqlite3_column_blob(read, 3));
        part.blob.assign(bytes, bytes + sqlite3_column_bytes(read, 3));
        for (int i = 0; i < 7; ++i) {
            part.geometry[i] = sqlite3_column_int64(read, 4 + i);
        }
        libraries.back().parts.push_back(std::move(part));
    }
    sqlite3_finalize(read);
    sqlite3_close(db);
    return libraries;
}

// The same rows into a fresh library file: a category, then blob, part and measured row per
// footprint, a library per transaction.
void KicadImport_Raw(benchmark::State& state) {
    const std::vector<StoredLibrary> libraries = ReadImported();
    const std::string path = (Home() / "raw.zblib").string();
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(path);
        vaultry::tables::LibrarySchema::CreateLibrary(path.c_str(), "raw",
                                                      vaultry::tables::Generation::kCurrent);
        sqlite3* db = OpenRaw(path);
        vaultry::bench::CreateMeasurementTable(db);
        vaultry::bench::RawStatements sql(db);
        state.ResumeTiming();
        for (const StoredLibrary& library : libraries) {
            sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
            const std::int64_t category = sql.Run(
                "INSERT INTO tObjectTree (strName,lLevel,lUserID,lParentID) VALUES (?,1,0,1) "
                "RETURNING lTreeID",
                {library.name});
            for (const StoredLibrary::Part& part : library.parts) {
                const std::int64_t blob =
                    sql.Run("INSERT INTO tBlobs (blbBlob,lBlobSize) VALUES (?,?) RETURNING lBlobID",
                            {part.blob, static_cast<std::int64_t>(part.blob.size())});
                const std::int64_t id = sql.Run(
                    "INSERT INTO tObjects (strObjectName,lUserID,lObjectTreeID,"
                    "lObjectTypeID,lBlobID) VALUES (?,0,?,?,?) RETURNING lObjectID",
                    {part.name, category, part.type, blob});
                sql.Run("INSERT INTO tPartGeometry VALUES (?,?,?,?,?,?,?,?)",
                        {id, part.geometry[0], part.geometry[1], part.geometry[2], part.geometry[3],
                         part.geometry[4], part.geometry[5], part.geometry[6]});
            }
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        }
        state.PauseTiming();
        sqlite3_close(db);
        state.ResumeTiming();
    }
}

vaultry::cli::FindRequest EightPinsAt127() {
    vaultry::cli::FindRequest request;
    request.geometry.pads = 8;
    request.geometry.pitch = ParseLength("1.27mm");
    return request;
}

void Find_Ours(benchmark::State& state) {
    const vaultry::cli::FindRequest request = EightPinsAt127();
    std::ostringstream out;
    for (auto _ : state) {
        out.str("");
        vaultry::cli::FindCommand(Imported(), request, {out, false});
    }
    const std::string printed = out.str();
    state.counters["found"] = static_cast<double>(std::count(printed.begin(), printed.end(), '\n'));
}

// Runs `query` on the imported user library once per iteration, every row copied out.
void RawQuery(benchmark::State& state, const char* query) {
    sqlite3* db = OpenRaw(UserLibrary());
    vaultry::bench::RawStatements sql(db);
    for (auto _ : state) {
        sql.Run(query);
    }
    sqlite3_close(db);
}

// The rows found, with the names and ids they are printed with, nearest first.
void Find_Raw(benchmark::State& state) {
    RawQuery(state,
             "SELECT o.lObjectID, o.strObjectName, g.lPadCount, g.lPitch, g.lSpan, g.lRowCount, "
             "g.bSmd FROM tPartGeometry g JOIN tObjects o ON o.lObjectID=g.lObjectID WHERE "
             "g.lPadCount=8 AND abs(g.lPitch-1270000)<=10000 ORDER BY abs(g.lPitch-1270000), "
             "o.strObjectName");
}

void ListByName_Ours(benchmark::State& state) {
    Imported();
    PartQuery query;
    query.name = "SOIC";
    std::size_t listed = 0;
    for (auto _ : state) {
        listed = ListParts(query).size();
    }
    state.counters["listed"] = static_cast<double>(listed);
}

void ListByName_Raw(benchmark::State& state) {
    RawQuery(state,
             "SELECT lObjectID, strObjectName, lObjectTypeID, lObjectTreeID, lUserID FROM "
             "tObjects WHERE strObjectName LIKE '%SOIC%' ORDER BY strObjectName");
}

// The largest KiCad library's category, or with `whole` the user library's top, whose sub-tree
// then is listed: every imported footprint.
long CategoryShown(bool whole) {
    Imported();
    const LibraryTree tree(*GetAccessDB(DATABASETYPE_USER));
    CDatabaseRegistry registry;
    registry.SetSection("Footprint", "Get a part from the database");
    registry.SetMustShowSubTreeItems(whole ? 1 : 0);
    const LibraryCategory* category = whole ? tree.Root() : tree.FindPath({"top", kLargestLibrary});
    return category != nullptr ? category->id : -1;
}

// Until the tree and the first page of the list are painted.
void SelectOpen_Ours(benchmark::State& state) {
    const long category = CategoryShown(state.range(0) != 0);
    int listed = 0;
    for (auto _ : state) {
        const auto previous = CDialog::SetModalRunner([&](CDialog& shown) {
            QWidget* widget = shown.Widget();
            QImage picture(widget->size(), QImage::Format_ARGB32_Premultiplied);
            widget->render(&picture);
            listed = static_cast<CSelectObjectDlg&>(shown).GetParts().List().GetItemCount();
            shown.EndDialog(IDCANCEL);
        });
        CSelectObjectDlg dialog;
        dialog.Init("Footprint", CString());
        dialog.StartIn(DATABASETYPE_USER, category);
        dialog.DoModal();
        CDialog::SetModalRunner(previous);
    }
    state.counters["listed"] = listed;
}

// The rows the tree and the list show, in their order.
void SelectOpen_Raw(benchmark::State& state) {
    const bool whole = state.range(0) != 0;
    const long category = CategoryShown(whole);
    sqlite3* db = OpenRaw(UserLibrary());
    vaultry::bench::RawStatements sql(db);
    for (auto _ : state) {
        sql.Run("SELECT lTreeID, strName, lParentID FROM tObjectTree ORDER BY strName");
        sql.Run(std::string("SELECT lObjectID, strObjectName, lUserID, lObjectTypeID FROM "
                            "tObjects WHERE ") +
                    (whole ? "lObjectTreeID>=?" : "lObjectTreeID=?") + " ORDER BY strObjectName",
                {static_cast<std::int64_t>(category)});
    }
    sqlite3_close(db);
}

// The program itself from start to exit, as a user at a terminal waits for it.
void Program(benchmark::State& state, std::vector<std::string> arguments) {
    Imported();
    arguments.insert(arguments.begin(), VAULTRY_EXECUTABLE);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t child = 0;
        int status = 0;
        if (posix_spawn(&child, argv[0], &quiet, nullptr, argv.data(), environ) != 0 ||
            waitpid(child, &status, 0) != child || status != 0) {
            state.SkipWithError("the program failed");
            break;
        }
    }
    posix_spawn_file_actions_destroy(&quiet);
}

}  // namespace

BENCHMARK(KicadImport_Ours)->Name("KicadImport/Ours")->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(KicadImport_Raw)->Name("KicadImport/Raw")->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(Find_Raw)->Name("Find/Raw")->Unit(benchmark::kMillisecond);
BENCHMARK(Find_Ours)->Name("Find/Ours")->Unit(benchmark::kMillisecond);
BENCHMARK(ListByName_Raw)->Name("ListByName/Raw")->Unit(benchmark::kMillisecond);
BENCHMARK(ListByName_Ours)->Name("ListByName/Ours")->Unit(benchmark::kMillisecond);
// 0: the largest KiCad library; 1: the whole import, as the sub-tree of the top category.
BENCHMARK(SelectOpen_Raw)
    ->Name("SelectOpenKicad/Raw")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(SelectOpen_Ours)
    ->Name("SelectOpenKicad/Ours")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Program, find, {"find", "--pads", "8", "--pitch", "1.27mm"})
    ->Name("Program/find")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Program, ls, {"ls", "--name", "SOIC"})
    ->Name("Program/ls --name")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Program, tree, {"tree"})
    ->Name("Program/tree (start and open alone)")
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (!fs::is_directory(kPackage)) {
        std::cerr << "kicad_bench: " << kPackage.string()
                  << " is missing; scripts/setup.sh installs kicad-footprints\n";
        return 1;
    }
    setenv("XDG_DATA_HOME", (Home() / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (Home() / "config").c_str(), 1);
    unsetenv("VAULTRY_CONFIG");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    EnsureUiApplication();
    benchmark::Initialize(&argc, argv);
    // The import's goal is absolute (60 s for the package) and its ratio shows what reading,
    // measuring and encoding cost beyond storing; the searches' goals are absolute too (20 ms,
    // 50 ms, 300 ms).
    vaultry::bench::RatioReporter reporter(
        {{"KicadImport/Ours", "KicadImport/Raw", 0.0},
         {"Find/Ours", "Find/Raw", 0.0},
         {"ListByName/Ours", "ListByName/Raw", 0.0},
         {"SelectOpenKicad/Ours/0", "SelectOpenKicad/Raw/0", 0.0},
         {"SelectOpenKicad/Ours/1", "SelectOpenKicad/Raw/1", 0.0}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    TheSession().reset();
    fs::remove_all(Home());
    return 0;
}
