// The library dialogs at the sizes real libraries reach, beside raw SQLite reading the same
// rows in the same run: the select dialog opened on a category of 100,000 parts until its tree
// and the first page of its list are painted, and a 200-object footprint chosen until the
// preview has painted it (read, decode, draw). Runs headless (offscreen) unless a display is
// chosen.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QImage>
#include <string>
#include <vector>

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "access/ModuleAttachment.h"
#include "bench/AccessFixtures.h"
#include "bench/PartListLibrary.h"
#include "bench/RatioReporter.h"
#include "bench/RawSqlite.h"
#include "dialogs/CSelectObjectDlg.h"
#include "host/CDrwObList.h"
#include "host/FootprintGenerator.h"
#include "host/ui/CPreviewWnd.h"

namespace {

using vaultry::bench::kListParts;
using vaultry::bench::Libraries;
using vaultry::bench::ListLibrary;
using vaultry::bench::OpenRaw;

// Pins of the large footprints: with their outline, pin-1 mark, courtyard and designator they
// make 200 objects.
constexpr int kLargePins = 193;

// Paints `window` and its children as the screen would show them. Rendered into an image, as an
// offscreen window is never exposed while a benchmark holds the event loop.
void Paint(const CWnd& window) {
    QWidget* widget = window.Widget();
    QImage picture(widget->size(), QImage::Format_ARGB32_Premultiplied);
    widget->render(&picture);
}

// Runs the select dialog (every type, opened where it was left: the user library's top) with
// `shown` acting in it once it is shown; then cancels it.
void RunSelectDialog(const std::function<void(CSelectObjectDlg&)>& shown) {
    const auto previous = CDialog::SetModalRunner([&](CDialog& dialog) {
        shown(static_cast<CSelectObjectDlg&>(dialog));
        dialog.EndDialog(IDCANCEL);
    });
    CSelectObjectDlg dialog;
    dialog.Init("", CString());
    dialog.DoModal();
    CDialog::SetModalRunner(previous);
}

void SelectOpen_Ours(benchmark::State& state) {
    ListLibrary();
    int listed = 0;
    for (auto _ : state) {
        RunSelectDialog([&](CSelectObjectDlg& dialog) {
            Paint(dialog);  // the tree and the list's first page with it
            listed = dialog.GetParts().List().GetItemCount();
        });
    }
    if (listed != kListParts) {
        state.SkipWithError("the dialog did not list every part of its category");
    }
}

// The rows the list and the tree show, read in their order.
void SelectOpen_Raw(benchmark::State& state) {
    ListLibrary();
    sqlite3* db = OpenRaw(GetAccessDB(DATABASETYPE_USER)->GetName().str());
    sqlite3_stmt* parts = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT lObjectID,strObjectName,lUserID,lObjectTypeID FROM tObjects "
                       "WHERE lObjectTreeID IN(1) ORDER BY strObjectName",
                       -1, &parts, nullptr);
    sqlite3_stmt* tree = nullptr;
    sqlite3_prepare_v2(db, "SELECT lTreeID,strName,lParentID FROM tObjectTree ORDER BY strName", -1,
                       &tree, nullptr);
    std::vector<std::string> names;
    for (auto _ : state) {
        names.clear();
        for (sqlite3_stmt* select : {tree, parts}) {
            while (sqlite3_step(select) == SQLITE_ROW) {
                names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(select, 1)));
            }
            sqlite3_reset(select);
        }
    }
    sqlite3_finalize(tree);
    sqlite3_finalize(parts);
    sqlite3_close(db);
}

// Two large footprints in the user library's top category; their object count.
int StoreLargeFootprints() {
    CDrwObList parts;
    int objects = 0;
    for (const char* name : {"Large-A", "Large-B"}) {
        TwoRowPattern pattern;
        pattern.pins = kLargePins;
        pattern.pitch = Millimetres(0.5);
        auto part = MakeTwoRowFootprint(name, "U1", pattern);
        objects = part->GetObjectCount();
        parts.Add(part.release());
    }
    GetAccessDB(DATABASETYPE_USER)->SaveObjects(nullptr, &parts, 1, nullptr, nullptr);
    parts.DestroyContent();
    return objects;
}

// Choosing one large footprint, then the other: each choice reads, decodes and paints anew.
void PreviewLargePart_Ours(benchmark::State& state) {
    Libraries libraries;
    state.counters["objects"] = StoreLargeFootprints();
    RunSelectDialog([&](CSelectObjectDlg& dialog) {
        CListCtrl& list = dialog.GetParts().List();
        int row = 0;
        benchmark::IterationCount loads = 0;
        long shown = -1;
        for (auto _ : state) {
            list.SetItemState(-1, 0, LVIS_SELECTED);
            list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            Paint(dialog.GetPreview());
            loads += dialog.GetLastLoadedID() != shown ? 1 : 0;
            shown = dialog.GetLastLoadedID();
            row = 1 - row;
        }
        if (loads < state.iterations() || dialog.GetPreview().GetObjectCount() != 1) {
            state.SkipWithError("the preview did not show each part chosen");
        }
    });
}

// The part's row and its blob, read and copied out.
void PreviewLargePart_Raw(benchmark::State& state) {
    Libraries libraries;
    StoreLargeFootprints();
    sqlite3* db = OpenRaw(GetAccessDB(DATABASETYPE_USER)->GetName().str());
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT o.strObjectName,o.lObjectTypeID,b.blbBlob FROM tObjects o JOIN "
                       "tBlobs b ON b.lBlobID=o.lBlobID WHERE o.lObjectID=?",
                       -1, &select, nullptr);
    std::vector<unsigned char> blob;
    long id = 1;
    for (auto _ : state) {
        sqlite3_bind_int64(select, 1, id);
        if (sqlite3_step(select) == SQLITE_ROW) {
            const auto* bytes = static_cast<const unsigned char*>(sqlite3_column_blob(select, 2));
            blob.assign(bytes, bytes + sqlite3_column_bytes(select, 2));
        }
        sqlite3_reset(select);
        id = 3 - id;
    }
    state.counters["blob_bytes"] = static_cast<double>(blob.size());
    sqlite3_finalize(select);
    sqlite3_close(db);
}

}  // namespace

BENCHMARK(SelectOpen_Raw)->Name("SelectOpen100000/Raw")->Unit(benchmark::kMillisecond);
BENCHMARK(SelectOpen_Ours)->Name("SelectOpen100000/Ours")->Unit(benchmark::kMillisecond);
BENCHMARK(PreviewLargePart_Raw)->Name("PreviewPart200/Raw")->Unit(benchmark::kMillisecond);
BENCHMARK(PreviewLargePart_Ours)->Name("PreviewPart200/Ours")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    EnsureUiApplication();
    VaultryAttachModule();
    benchmark::Initialize(&argc, argv);
    // Both goals are absolute (300 ms to open, 20 ms to show a part); the ratios say how much of
    // it is more than reading the rows.
    vaultry::bench::RatioReporter reporter({{"SelectOpen100000/Ours", "SelectOpen100000/Raw", 0.0},
                                            {"PreviewPart200/Ours", "PreviewPart200/Raw", 0.0}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    VaultryDetachModule();
    return 0;
}
