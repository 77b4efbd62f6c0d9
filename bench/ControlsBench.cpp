// The browsing controls at the sizes real libraries reach, beside raw SQLite doing the same
// work in the same run: a part list refilled from a category of 100,000 parts and refiltered
// by each key typed, a tree of 10,000 categories drawn, the part filter of a sub-tree of 1,000
// categories built. Runs headless (offscreen) unless a display is chosen.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QTreeView>
#include <chrono>
#include <fstream>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "bench/AccessFixtures.h"
#include "bench/PartListLibrary.h"
#include "bench/RatioReporter.h"
#include "bench/RawSqlite.h"
#include "controls/CObjectComboBox.h"
#include "controls/CObjectTreeCtrl.h"
#include "host/CDrwObList.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CTreeCtrl.h"

namespace {

using vaultry::bench::InsertRows;
using vaultry::bench::kListParts;
using vaultry::bench::Libraries;
using vaultry::bench::ListLibrary;
using vaultry::bench::Numbered;
using vaultry::bench::OpenRaw;

constexpr int kTreeCategories = 10000;
constexpr long kSubTreeRoot = 2;  // a first-level category: 1 + 10 + 100 + 889 categories

// Kilobytes resident now, as the kernel counts them.
long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

void PartList_Ours(benchmark::State& state) {
    ListLibrary();
    const long before = ResidentKilobytes();
    CObjectComboBox parts;
    parts.Create(CRect{0, 0, 300, 400}, nullptr, 6050);
    parts.m_strDocTypeFilter = "Footprint";
    for (auto _ : state) {
        parts.FillList("lObjectTreeID IN(1)", DATABASETYPE_USER);
    }
    if (parts.List().GetItemCount() != kListParts) {
        state.SkipWithError("the list does not hold every part");
    }
    // The view draws what it shows; nothing is made per part.
    const auto widgets = parts.List().Widget()->findChildren<QWidget*>().size();
    state.counters["widgets"] = static_cast<double>(widgets);
    state.counters["rss_delta_MB"] = static_cast<double>(ResidentKilobytes() - before) / 1024.0;
}

// The rows the list shows, selected and copied out in name order.
void PartList_Raw(benchmark::State& state) {
    ListLibrary();
    sqlite3* db = OpenRaw(GetAccessDB(DATABASETYPE_USER)->GetName().str());
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT lObjectID,strObjectName,lUserID,lObjectTypeID FROM tObjects "
                       "WHERE lObjectTreeID IN(1) ORDER BY strObjectName",
                       -1, &select, nullptr);
    struct Entry {
        long id;
        std::string name;
        long owner;
        long type;
    };
    std::vector<Entry> entries;
    for (auto _ : state) {
        entries.clear();
        while (sqlite3_step(select) == SQLITE_ROW) {
            entries.push_back({static_cast<long>(sqlite3_column_int64(select, 0)),
                               reinterpret_cast<const char*>(sqlite3_column_text(select, 1)),
                               static_cast<long>(sqlite3_column_int64(select, 2)),
                               static_cast<long>(sqlite3_column_int64(select, 3))});
        }
        sqlite3_reset(select);
    }
    if (static_cast<int>(entries.size()) != kListParts) {
        state.SkipWithError("the query does not give every part");
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
}

// A user typing "R1234" into the name field, then taking it back: one refilter per key.
void Keystroke_Ours(benchmark::State& state) {
    ListLibrary();
    CObjectComboBox parts;
    parts.Create(CRect{0, 0, 300, 400}, nullptr, 6050);
    parts.m_strDocTypeFilter = "Footprint";
    parts.FillList("lObjectTreeID IN(1)", DATABASETYPE_USER);
    const std::vector<const char*> texts = {"R",    "R1",  "R12", "R123", "R1234",
                                            "R123", "R12", "R1",  "R"};
    std::size_t next = 0;
    std::chrono::steady_clock::duration worst{};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        parts.SetObjectName(texts[next]);
        worst = std::max(worst, std::chrono::steady_clock::now() - start);
        next = (next + 1) % texts.size();
    }
    // The key that shows every part again costs most; each must answer within 50 ms.
    state.counters["worst_ms"] = std::chrono::duration<double, std::milli>(worst).count();
}

void Keystroke_Raw(benchmark::State& state) {
    ListLibrary();
    sqlite3* db = OpenRaw(GetAccessDB(DATABASETYPE_USER)->GetName().str());
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT lObjectID,strObjectName,lUserID,lObjectTypeID FROM tObjects "
                       "WHERE lObjectTreeID IN(1) AND strObjectName LIKE ? ORDER BY "
                       "strObjectName",
                       -1, &select, nullptr);
    const std::vector<const char*> texts = {"%R%",    "%R1%",  "%R12%", "%R123%", "%R1234%",
                                            "%R123%", "%R12%", "%R1%",  "%R%"};
    std::size_t next = 0;
    std::vector<std::string> names;
    for (auto _ : state) {
        names.clear();
        sqlite3_bind_text(select, 1, texts[next], -1, SQLITE_STATIC);
        while (sqlite3_step(select) == SQLITE_ROW) {
            names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(select, 1)));
        }
        sqlite3_reset(select);
        next = (next + 1) % texts.size();
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
}

// kTreeCategories categories below the user top, ten to a parent, by plain SQL.
Libraries& TreeLibrary() {
    static Libraries libraries;
    static const bool filled = [] {
        std::vector<long> levels = {0, 0};  // by id; the top is 1
        InsertRows(GetAccessDB(DATABASETYPE_USER)->GetName().str(),
                   "INSERT INTO tObjectTree (strName,lLevel,lUserID,lParentID) VALUES (?,?,0,?)",
                   kTreeCategories, [&levels](sqlite3_stmt* add, int i) {
                       const long parent = i < 10 ? 1 : (i - 10) / 10 + 2;
                       levels.push_back(levels[static_cast<std::size_t>(parent)] + 1);
                       const std::string name = Numbered("C", i + 2);
                       sqlite3_bind_text(add, 1, name.c_str(), -1, SQLITE_TRANSIENT);
                       sqlite3_bind_int64(add, 2, levels.back());
                       sqlite3_bind_int64(add, 3, parent);
                   });
        return true;
    }();
    (void)filled;
    libraries.MakeCurrent();
    return libraries;
}

void TreeDraw_Ours(benchmark::State& state) {
    TreeLibrary();
    CObjectTreeCtrl tree;
    tree.Create(CRect{0, 0, 300, 400}, nullptr, true);
    tree.SetDatabaseTypeForShow(DATABASETYPE_USER);
    for (auto _ : state) {
        tree.Init(-1, DATABASETYPE_USER);
    }
    if (tree.GetCount() != kTreeCategories + 1) {
        state.SkipWithError("the tree does not show every category");
    }
}

// The same rows read in the same order and inserted into the same tree view, each under its
// parent found through a map.
void TreeDraw_Raw(benchmark::State& state) {
    TreeLibrary();
    sqlite3* db = OpenRaw(GetAccessDB(DATABASETYPE_USER)->GetName().str());
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT lTreeID,strName,lLevel,lUserID,lParentID FROM tObjectTree "
                       "ORDER BY lLevel,strName",
                       -1, &select, nullptr);
    CTreeCtrl tree;
    tree.Create(CRect{0, 0, 300, 400}, nullptr, 0, false);
    for (auto _ : state) {
        tree.DeleteAllItems();
        tree.SetRedraw(FALSE);
        std::unordered_map<long, HTREEITEM> items;
        while (sqlite3_step(select) == SQLITE_ROW) {
            const long id = sqlite3_column_int64(select, 0);
            const long parent = sqlite3_column_int64(select, 4);
            const auto found = parent == id ? items.end() : items.find(parent);
            items[id] =
                tree.InsertItem(reinterpret_cast<const char*>(sqlite3_column_text(select, 1)),
                                found == items.end() ? nullptr : found->second);
        }
        sqlite3_reset(select);
        tree.SetRedraw(TRUE);
        tree.Expand(tree.GetRootItem(), TVE_EXPAND);
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
}

void SubTreeFilter_Ours(benchmark::State& state) {
    TreeLibrary();
    CObjectTreeCtrl tree;
    tree.Create(CRect{0, 0, 300, 400}, nullptr, true);
    tree.SetDatabaseTypeForShow(DATABASETYPE_USER);
    tree.Init(kSubTreeRoot, DATABASETYPE_USER);
    CString filter;
    for (auto _ : state) {
        DATABASETYPE type = DATABASETYPE_USER;
        tree.GetStringOfIDs(filter, 1, type);
    }
    state.counters["categories"] =
        static_cast<double>(std::count(filter.str().begin(), filter.str().end(), ',') + 1);
}

// The sub-tree walked by SQLite itself, ids joined into the same text.
void SubTreeFilter_Raw(benchmark::State& state) {
    TreeLibrary();
    sqlite3* db = OpenRaw(GetAccessDB(DATABASETYPE_USER)->GetName().str());
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db,
                       "WITH RECURSIVE below(id) AS (SELECT ?1 UNION ALL SELECT t.lTreeID FROM "
                       "tObjectTree t JOIN below ON t.lParentID=below.id WHERE "
                       "t.lParentID<>t.lTreeID) SELECT id FROM below",
                       -1, &select, nullptr);
    std::string filter;
    for (auto _ : state) {
        filter = "lObjectTreeID IN(";
        sqlite3_bind_int64(select, 1, kSubTreeRoot);
        while (sqlite3_step(select) == SQLITE_ROW) {
            filter += std::to_string(sqlite3_column_int64(select, 0));
            filter += ',';
        }
        filter.back() = ')';
        sqlite3_reset(select);
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
}

}  // namespace

BENCHMARK(PartList_Raw)->Name("PartList100000/Raw")->Unit(benchmark::kMillisecond);
BENCHMARK(PartList_Ours)->Name("PartList100000/Ours")->Unit(benchmark::kMillisecond);
BENCHMARK(Keystroke_Raw)->Name("Keystroke100000/Raw")->Unit(benchmark::kMillisecond);
BENCHMARK(Keystroke_Ours)->Name("Keystroke100000/Ours")->Unit(benchmark::kMillisecond);
BENCHMARK(TreeDraw_Raw)->Name("TreeDraw10000/Raw")->Unit(benchmark::kMillisecond);
BENCHMARK(TreeDraw_Ours)->Name("TreeDraw10000/Ours")->Unit(benchmark::kMillisecond);
BENCHMARK(SubTreeFilter_Raw)->Name("SubTreeFilter1000/Raw")->Unit(benchmark::kMillisecond);
BENCHMARK(SubTreeFilter_Ours)->Name("SubTreeFilter1000/Ours")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    EnsureUiApplication();
    benchmark::Initialize(&argc, argv);
    vaultry::bench::RatioReporter reporter(
        {{"PartList100000/Ours", "PartList100000/Raw", 1.5},
         {"Keystroke100000/Ours", "Keystroke100000/Raw", 0.0},
         {"TreeDraw10000/Ours", "TreeDraw10000/Raw", 2.0},
         {"SubTreeFilter1000/Ours", "SubTreeFilter1000/Raw", 0.0}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
