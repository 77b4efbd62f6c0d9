// import-kicad: KiCad footprint files and libraries (.pretty folders of them) stored as
// footprints. A file that cannot be read is named with its line and reason, and the import goes
// on; each library is stored in one transaction, as one category.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>

#include "access/CMSAccessDBHandler.h"
#include "access/LibraryTree.h"
#include "access/NameRule.h"
#include "access/ProgressDisplay.h"
#include "apps/vaultry/Categories.h"
#include "apps/vaultry/Commands.h"
#include "apps/vaultry/Json.h"
#include "apps/vaultry/Session.h"
#include "apps/vaultry/kicad/KicadFootprint.h"
#include "host/BuiltInPlugIns.h"
#include "host/CDrwGroup.h"
#include "host/CDrwObList.h"
#include "host/CPlugInManager.h"
#include "platform/afx/UnicodeCase.h"

namespace vaultry::cli {

namespace {

namespace fs = std::filesystem;

// A library to store: its category name below the target ("" for the target itself) and its
// files in name order.
struct KicadLibrary {
    std::string category;
    std::vector<fs::path> files;
};

std::vector<KicadLibrary> LibrariesOf(const std::vector<std::string>& paths) {
    std::vector<KicadLibrary> libraries;
    KicadLibrary loose;
    for (const std::string& text : paths) {
        const fs::path path(text);
        std::error_code error;
        if (fs::is_directory(path, error)) {
            KicadLibrary library{
                path.filename() == "" ? path.parent_path().stem().string() : path.stem().string(),
                {}};
            for (const auto& entry : fs::directory_iterator(path, error)) {
                if (entry.path().extension() == ".kicad_mod") {
                    library.files.push_back(entry.path());
                }
            }
            std::sort(library.files.begin(), library.files.end());
            libraries.push_back(std::move(library));
        } else if (fs::is_regular_file(path, error)) {
            loose.files.push_back(path);
        } else {
            throw CommandError("import-kicad: " + text + ": no such file or folder");
        }
    }
    if (!loose.files.empty()) {
        libraries.push_back(std::move(loose));
    }
    return libraries;
}

struct ImportTally {
    long stored = 0;
    long files = 0;
    std::vector<std::string> failures;  // "file:line: reason"
    std::map<std::string, int> approximated;
};

std::string ReadWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw kicad::SExpressionError(0, "the file cannot be opened");
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void Fail(ImportTally& tally, const fs::path& file, int line, const std::string& why) {
    const std::string where = line > 0 ? ":" + std::to_string(line) : "";
    tally.failures.push_back(file.string() + where + ": " + why);
    std::cerr << "vaultry: import-kicad: " << tally.failures.back() << "\n";
}

// What the summary says of a footprint the libraries file by what it holds as another type:
// one without pads (a logo, an outline) is a CAD-Object to them, pads on one spot alone a
// Pad-Stack.
std::string FiledAs(const CString& type) {
    const char* what =
        type == "CAD-Object" ? "footprint without pads" : "footprint of pads on one spot alone";
    return std::string(what) + ", stored as a " + type.str();
}

// The footprints of `library`; files that fail are told and left out.
std::vector<std::unique_ptr<CDrwGroup>> ReadLibrary(const KicadLibrary& library, ImportTally& tally,
                                                    ProgressDisplay& progress) {
    std::vector<std::unique_ptr<CDrwGroup>> parts;
    for (const fs::path& file : library.files) {
        ++tally.files;
        try {
            kicad::Footprint footprint = kicad::ReadFootprint(ReadWhole(file));
            for (const auto& [kind, count] : footprint.approximated) {
                tally.approximated[kind] += count;
            }
            const CString type = GetLibDocTypeForObject(footprint.part.get());
            if (type != "Footprint") {
                ++tally.approximated[FiledAs(type)];
            }
            parts.push_back(std::move(footprint.part));
        } catch (const kicad::SExpressionError& error) {
            Fail(tally, file, error.Line(), error.what());
        }
        progress.Reached(static_cast<int>(tally.files));
    }
    return parts;
}

// The parts to store, by the document type the libraries file each under: a run of stored
// parts takes the type of its first, so each type is stored as a run of its own. A name
// already in the library, or met before in this import, is told and not stored.
using PartsByType = std::map<CString, CDrwObList>;
void KeepFreeNames(CMSAccessDBHandler& library, std::vector<std::unique_ptr<CDrwGroup>> parts,
                   PartsByType& kept, std::set<std::string, text::FoldedLess>& seen,
                   ImportTally& tally) {
    for (auto& part : parts) {
        const CString name = part->GetName() ? *part->GetName() : CString();
        const CString type = GetLibDocTypeForObject(part.get());
        if (const CString why = WhyNotAName(name); !why.IsEmpty()) {
            Fail(tally, name.str(), 0, why.str() + " Not stored.");
            continue;
        }
        if (!seen.insert(name.str()).second || library.GetObjectID(name, type) > 0) {
            Fail(tally, name.str(), 0, "a footprint of that name is in the library; not stored");
            continue;
        }
        kept[type].Add(part.release());
    }
}

void Report(Output output, const std::string& done, const ImportTally& tally) {
    if (!output.json) {
        output.out << done << "\n";
        for (const auto& [kind, count] : tally.approximated) {
            output.out << "  " << count << " x " << kind << "\n";
        }
        return;
    }
    output.out << "{\"done\":" << JsonString(done) << ",\"parts\":" << tally.stored
               << ",\"files\":" << tally.files << ",\"failed\":[";
    for (std::size_t i = 0; i < tally.failures.size(); ++i) {
        output.out << (i ? "," : "") << JsonString(tally.failures[i]);
    }
    output.out << "],\"approximated\":{";
    bool first = true;
    for (const auto& [kind, count] : tally.approximated) {
        output.out << (first ? "" : ",") << JsonString(kind) << ":" << count;
        first = false;
    }
    output.out << "}}\n";
}

}  // namespace

int ImportKicadCommand(Session& session, const KicadImportRequest& request, Output output) {
    const std::vector<KicadLibrary> libraries = LibrariesOf(request.paths);
    CategoryRef target;
    if (request.category.empty()) {
        target.type = TiersNamed(request.tier.empty() ? "user" : request.tier).front();
        target.id = LibraryTree(session.Tier(target.type)).Root()->id;
    } else {
        target = ResolveCategory(session, request.category, request.tier);
    }
    if (GetPlugInManager()->GetDocInterface("Footprint") == nullptr) {
        throw CommandError("import-kicad: no plug-in serves footprints");
    }
    CMSAccessDBHandler& library = session.Tier(target.type);
    long total = 0;
    for (const KicadLibrary& each : libraries) {
        total += static_cast<long>(each.files.size());
    }
    ImportTally tally;
    Attempt("import-kicad", [&] { session.Rights().RequireOnCategory(library, target.id); });
    ProgressDisplay progress(static_cast<int>(total), true, "Reading footprints");
    std::set<std::string, text::FoldedLess> seen;
    for (const KicadLibrary& each : libraries) {
        PartsByType parts;
        KeepFreeNames(library, ReadLibrary(each, tally, progress), parts, seen, tally);
        LibraryEditor editor = session.Editor(target.type);
        Attempt("import-kicad", [&] {
            editor.InOneTransaction([&] {
                const long category = each.category.empty() ? target.id
                                                            : editor.MakeCategoryPath(
                                                                  target.id, each.category.c_str());
                for (auto& [type, ofType] : parts) {
                    const CKV_DocInterface* plugIn = GetDocForLibraryType(type);
                    tally.stored +=
                        editor.StoreParts(category, ofType, plugIn->GetColorDefinition(0),
                                          plugIn->GetLayerDefinition());
                }
            });
        });
    }
    Report(output,
           "imported " + std::to_string(tally.stored) + " footprints of " +
               std::to_string(tally.files) + " files into " + PathOf(session, target) +
               (tally.failures.empty()
                    ? ""
                    : "; " + std::to_string(tally.failures.size()) + " not imported (see above)"),
           tally);
    return tally.failures.empty() ? 0 : 1;
}

}  // namespace vaultry::cli
