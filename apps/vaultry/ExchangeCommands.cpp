// export and import of parts through the interchange file.

#include <iostream>
#include <map>
#include <utility>

#include "access/CMSAccessDBHandler.h"
#include "apps/vaultry/Categories.h"
#include "apps/vaultry/Commands.h"
#include "apps/vaultry/Interchange.h"
#include "apps/vaultry/PartReference.h"
#include "apps/vaultry/Session.h"
#include "host/CDrwObList.h"
#include "tables/CRSObjectTree.h"
#include "tables/CRSObjects.h"

namespace vaultry::cli {
namespace {

// Parts of one document type share one set of definitions in the file: the first part's as
// stored, the others' layers and colours mapped onto them.
void AddPart(Session& session, const PartRef& ref, const std::string& category,
             InterchangeFile& file) {
    CMSAccessDBHandler& tier = session.Tier(ref.tier);
    const std::string docType = tier.GetDocType(tier.GetObjectTypeID(ref.id)).str();
    const auto known = file.definitions.find(docType);
    LoadedPart loaded = known == file.definitions.end()
                            ? LoadPart(session, ref)
                            : LoadPart(session, ref, &known->second.layers, &known->second.colours);
    loaded.group->SetName(ref.name);  // a rename changes the row, not the stored objects
    if (known == file.definitions.end()) {
        InterchangeDefinitions& definitions = file.definitions[docType];
        definitions.layers.Init(loaded.layers);
        definitions.colours.Init(loaded.colours);
    }
    file.parts.push_back({docType, category, std::move(loaded.group)});
}

// The parts of `ref` and its sub-categories, each with its path below `ref`.
void AddCategory(Session& session, const CategoryRef& ref, InterchangeFile& file) {
    const CategoryTree tree(session, ref.type);
    const std::string base = tree.PathOf(ref.id);
    CMSAccessDBHandler& tier = session.Tier(ref.type);
    for (const long id : tree.SubTree(ref.id)) {
        CRSObjects parts(ref.type, &tier);
        parts.m_strFilter = CategoryFilter({id}).c_str();
        parts.m_strSort = "strObjectName";
        parts.Open();
        std::vector<PartRef> found;
        for (; !parts.IsEOF(); parts.MoveNext()) {
            found.push_back({ref.type, parts.m_lObjectID, parts.m_strObjectName, parts.m_lUserID,
                             parts.m_lObjectTreeID});
        }
        parts.Close();
        const std::string path = tree.PathOf(id);
        const std::string relative = path.size() > base.size() ? path.substr(base.size() + 1) : "";
        for (const PartRef& part : found) {
            AddPart(session, part, relative, file);
        }
    }
}

}  // namespace

int ExportCommand(Session& session, const ExportRequest& request, Output output) {
    InterchangeFile file;
    for (const PartArgument& part : request.parts) {
        AddPart(session, ResolvePart(session, part), "", file);
    }
    if (!request.category.empty()) {
        AddCategory(session, ResolveCategory(session, request.category, request.tier), file);
    }
    if (file.parts.empty()) {
        throw CommandError("export: no parts to export");
    }
    WriteInterchange(file, request.file);
    ReportDone(output,
               "exported " + std::to_string(file.parts.size()) + " parts to " + request.file,
               static_cast<long>(file.parts.size()));
    return 0;
}

int ImportCommand(Session& session, const std::string& path, const std::string& destination,
                  Output output) {
    InterchangeFile file = ReadInterchange(path);
    const CategoryRef target = ResolveCategory(session, destination, "");
    session.RequireMasterEdit(target.type, "import");
    // One store per category and document type, so each goes with its own definitions.
    std::map<std::pair<std::string, std::string>, std::vector<std::unique_ptr<CDrwGroup>>> batches;
    for (InterchangePart& part : file.parts) {
        batches[{part.category, part.docType}].push_back(std::move(part.group));
    }
    CMSAccessDBHandler& tier = session.Tier(target.type);
    std::size_t stored = 0;
    bool complete = true;
    for (auto& [key, groups] : batches) {
        const long category = MakeCategoryPath(tier, target.id, key.first);
        CDrwObList list;
        for (auto& group : groups) {
            // A store would refuse a taken name without saying so; say it here.
            const CString name = group->GetName() ? *group->GetName() : CString();
            if (!name.IsEmpty() && tier.GetRSObjects()->NameExists(name)) {
                std::cerr << "vaultry: import: " << name.str() << ": the name is taken in the "
                          << TierName(target.type) << " library; not stored\n";
                complete = false;
                continue;
            }
            list.Add(group.release());
        }
        const InterchangeDefinitions& definitions = file.definitions.at(key.second);
        complete =
            tier.SaveObjects(nullptr, &list, category, &definitions.colours, &definitions.layers) &&
            complete;
        stored += static_cast<std::size_t>(list.GetCount());
    }
    if (!complete) {
        throw CommandError("import: not every part could be stored (see above)");
    }
    ReportDone(output,
               "imported " + std::to_string(stored) + " parts into " +
                   CategoryTree(session, target.type).PathOf(target.id),
               static_cast<long>(stored));
    return 0;
}

}  // namespace vaultry::cli
