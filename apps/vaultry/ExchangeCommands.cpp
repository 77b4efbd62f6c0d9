// export and import of parts through the interchange file.

#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <unordered_set>
#include <utility>

#include "access/CMSAccessDBHandler.h"
#include "access/LibraryTree.h"
#include "access/NameRule.h"
#include "access/PartListing.h"
#include "access/ProgressDisplay.h"
#include "access/TakenNameFinder.h"
#include "apps/vaultry/Categories.h"
#include "apps/vaultry/Commands.h"
#include "apps/vaultry/Interchange.h"
#include "apps/vaultry/InterchangeReader.h"
#include "apps/vaultry/PartReference.h"
#include "apps/vaultry/ReadAhead.h"
#include "apps/vaultry/Session.h"
#include "host/CDrwObList.h"
#include "platform/afx/UnicodeCase.h"

namespace vaultry::cli {
namespace {

// What export leaves out: parts that do not load, or hold what the file cannot carry. Each is
// named on standard error as it is met; the rest is exported.
struct Exported {
    InterchangeFile file;
    std::size_t leftOut = 0;

    void LeaveOut(const std::string& why) {
        std::cerr << "vaultry: export: " << why << "; not exported\n";
        ++leftOut;
    }
};

// Parts of one document type share one set of definitions in the file: the first part's as
// stored, the others' layers and colours mapped onto them.
void AddPart(Session& session, const PartEntry& ref, const std::string& category,
             Exported& exported) {
    InterchangeFile& file = exported.file;
    const std::string docType = ref.docType.str();
    const auto known = file.definitions.find(docType);
    std::optional<LoadedPart> loaded;
    try {
        loaded = known == file.definitions.end()
                     ? LoadPart(session, ref)
                     : LoadPart(session, ref, &known->second.layers, &known->second.colours);
    } catch (const CommandError& error) {
        exported.LeaveOut(error.what());
        return;
    }
    loaded->group->SetName(ref.name);  // a rename changes the row, not the stored objects
    InterchangePart part{docType, category, std::move(loaded->group)};
    if (!FitsInterchange(part)) {
        exported.LeaveOut(ref.name.str() +
                          ": holds a control character, which an XML file cannot carry");
        return;
    }
    if (known == file.definitions.end()) {
        InterchangeDefinitions& definitions = file.definitions[docType];
        definitions.layers.Init(loaded->layers);
        definitions.colours.Init(loaded->colours);
    }
    file.parts.push_back(std::move(part));
}

// The parts of `ref` and its sub-categories, each with its path below `ref`.
void AddCategory(Session& session, const CategoryRef& ref, Exported& exported) {
    const LibraryTree tree(session.Tier(ref.type));
    const std::string base = tree.PathOf(ref.id);
    for (const long id : tree.SubTree(ref.id)) {
        PartQuery query;
        query.tier = ref.type;
        query.category = id;
        query.everyType = true;
        const std::string path = tree.PathOf(id);
        const std::string relative = path.size() > base.size() ? path.substr(base.size() + 1) : "";
        for (const PartEntry& part : ListParts(query)) {
            AddPart(session, part, relative, exported);
        }
    }
}

// Consecutive parts of one category and document type, read after the same definitions, stored
// together with their type's definitions; at most kRunLength of them, so that an import holds
// a few runs in memory.
struct Run {
    static constexpr std::size_t kRunLength = 256;
    std::string category;
    std::string docType;
    std::shared_ptr<const ReadAhead::Definitions> definitions;
    std::vector<std::unique_ptr<CDrwGroup>> groups;
};

// The parts of `run` stored below category `target` of its tier, in its category made where
// missing; the number stored. A part whose name is taken (`taken`, by folded key: in the
// library, or by a part stored before in this import) is named on standard error and left out;
// `complete` then becomes false.
std::size_t StoreRun(Session& session, const CategoryRef& target, Run& run,
                     const InterchangeDefinitions& definitions, TakenNameFinder& finder,
                     std::unordered_set<std::string>& taken, bool& complete) {
    // The names of the run the library has taken, asked once for the run rather than part by
    // part: on a server each question is a round trip.
    std::vector<CString> wanted;
    for (const auto& group : run.groups) {
        if (group->GetName() != nullptr) {
            wanted.push_back(*group->GetName());
        }
    }
    for (const CString& name : finder.Taken(wanted)) {
        taken.insert(text::FoldedKey(name.str()));
    }
    LibraryEditor editor = session.Editor(target.type);
    const long category = editor.MakeCategoryPath(target.id, run.category.c_str());
    CDrwObList list(false);  // the run keeps its groups, for the reading thread to free
    for (auto& group : run.groups) {
        // A store refuses a taken name without saying so; say it here.
        const CString name = group->GetName() ? *group->GetName() : CString();
        if (const CString why = WhyNotAName(name); !name.IsEmpty() && !why.IsEmpty()) {
            std::cerr << "vaultry: import: " << name.str() << ": " << why.str() << " Not stored.\n";
            complete = false;
            continue;
        }
        if (!name.IsEmpty() && !taken.insert(text::FoldedKey(name.str())).second) {
            std::cerr << "vaultry: import: " << name.str() << ": the name is taken in the "
                      << TierName(target.type) << " library; not stored\n";
            complete = false;
            continue;
        }
        list.Add(group.get());
    }
    // The import holds the write transaction since it asked for the taken names: the stores
    // need not ask again, part by part (on a server, a round trip each).
    const int count = editor.StoreParts(category, list, &definitions.colours, &definitions.layers,
                                        CMSAccessDBHandler::NameCheck::kFoundFree);
    complete = complete && count == list.GetCount();
    return static_cast<std::size_t>(count);
}

// The parts `reader` gives, stored run by run as the reading goes on ahead; the number stored.
std::size_t StoreAll(Session& session, const CategoryRef& target, InterchangeReader& reader,
                     bool& complete) {
    TakenNameFinder finder(session.Tier(target.type));
    std::unordered_set<std::string> taken;  // folded: as the library answered, and stored since
    std::size_t stored = 0;
    Run run;
    int permille = 0;
    ProgressDisplay progress(1000);  // over the file: its parts are not counted beforehand
    ReadAhead reading(reader);
    const auto storeRun = [&] {
        if (!run.groups.empty()) {
            stored += StoreRun(session, target, run, run.definitions->at(run.docType), finder,
                               taken, complete);
            reading.Discard(std::exchange(run.groups, {}));
        }
        progress.Reached(permille);
    };
    while (std::optional<ReadAhead::Item> item = reading.Next()) {
        InterchangePart& part = item->part;
        if (part.category != run.category || part.docType != run.docType ||
            item->definitions != run.definitions || run.groups.size() == Run::kRunLength) {
            storeRun();
            run.category = part.category;
            run.docType = part.docType;
            run.definitions = item->definitions;
        }
        run.groups.push_back(std::move(part.group));
        permille = item->permille;
    }
    storeRun();
    return stored;
}

}  // namespace

int ExportCommand(Session& session, const ExportRequest& request, Output output) {
    Exported exported;
    for (const PartArgument& part : request.parts) {
        AddPart(session, ResolvePart(session, part), "", exported);
    }
    if (!request.category.empty()) {
        AddCategory(session, ResolveCategory(session, request.category, request.tier), exported);
    }
    const std::size_t written = exported.file.parts.size();
    if (written == 0) {
        throw CommandError("export: no parts to export");
    }
    WriteInterchange(exported.file, request.file);
    const std::string done = "exported " + std::to_string(written) + " parts to " + request.file;
    if (exported.leftOut > 0) {
        throw CommandError(done + "; " + std::to_string(exported.leftOut) +
                           " could not be exported (see above)");
    }
    ReportDone(output, done, static_cast<long>(written));
    return 0;
}

// The whole file is one transaction: what it stores stays together, and a failure (or the
// program's end) halfway leaves the library as it was. The file is read as it is stored, a run
// of parts at a time; a part found malformed late in it undoes the runs stored before.
int ImportCommand(Session& session, const std::string& path, const std::string& destination,
                  Output output) {
    InterchangeReader reader(path);
    const CategoryRef target = ResolveCategory(session, destination, "");
    std::size_t stored = 0;
    bool complete = true;
    Attempt("import", [&] {
        // The rights first, so that no password is asked while the library is held.
        session.Rights().RequireOnCategory(session.Tier(target.type), target.id);
        session.Editor(target.type).InOneTransaction([&] {
            stored = StoreAll(session, target, reader, complete);
        });
    });
    if (!complete) {
        throw CommandError("import: stored " + std::to_string(stored) +
                           " parts; not every part could be stored (see above)");
    }
    ReportDone(output,
               "imported " + std::to_string(stored) + " parts into " + PathOf(session, target),
               static_cast<long>(stored));
    return 0;
}

}  // namespace vaultry::cli
