// tree, mkdir, cp -r, mv and rmdir for categories, and cache.

#include <algorithm>
#include <functional>

#include "access/CMSAccessDBHandler.h"
#include "apps/vaultry/Categories.h"
#include "apps/vaultry/Commands.h"
#include "apps/vaultry/Json.h"
#include "apps/vaultry/Session.h"
#include "platform/afx/UnicodeCase.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/DaoTransaction.h"
#include "tables/CRSObjectTree.h"
#include "tables/CRSObjects.h"
#include "tables/CRSUserTree.h"

namespace vaultry::cli {
namespace {

void PrintTree(const CategoryTree& tree, Output output, bool firstTier) {
    const Category* root = tree.Root();
    if (root == nullptr) {
        return;
    }
    std::ostream& out = output.out;
    if (output.json) {
        out << (firstTier ? "" : ",\n ") << "{\"tier\":\"" << TierName(tree.Type())
            << "\",\"categories\":[";
        bool first = true;
        for (const long id : tree.SubTree(root->id)) {
            const Category& c = *tree.Find(id);
            out << (first ? "" : ",") << "{\"id\":" << c.id << ",\"parent\":" << c.parent
                << ",\"level\":" << c.level << ",\"name\":" << JsonString(c.name.str())
                << ",\"path\":" << JsonString(tree.PathOf(c.id)) << ",\"parts\":" << c.parts << "}";
            first = false;
        }
        out << "]}";
        return;
    }
    std::function<void(const Category&, int)> print = [&](const Category& c, int depth) {
        out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << c.name.str() << "  ["
            << c.id << "] " << c.parts << (c.parts == 1 ? " part" : " parts") << "\n";
        for (const Category* child : tree.Children(c.id)) {
            print(*child, depth + 1);
        }
    };
    print(*root, 0);
}

// The category and its whole sub-tree, parts first, deepest categories first; one
// transaction, so nothing is left half removed.
void RemoveSubTree(Session& session, const CategoryTree& tree, long id) {
    CMSAccessDBHandler& tier = session.Tier(tree.Type());
    std::vector<long> categories = tree.SubTree(id);
    vaultry::dao::DaoTransaction transaction(tier);
    CRSObjects parts(tree.Type(), &tier);
    parts.m_strFilter = CategoryFilter(categories).c_str();
    parts.Open();
    std::vector<long> partIDs;
    for (; !parts.IsEOF(); parts.MoveNext()) {
        partIDs.push_back(parts.m_lObjectID);
    }
    parts.Close();
    CRSObjects& objects = *tier.GetRSObjects();
    for (const long part : partIDs) {
        if (!objects.Delete(part)) {
            throw CommandError("a part of the category could not be removed");
        }
    }
    CRSObjectTree& rows = *tier.GetRSObjectTree();
    for (auto it = categories.rbegin(); it != categories.rend(); ++it) {
        if (!rows.Delete(*it)) {
            throw CommandError("a category could not be removed");
        }
    }
    transaction.Commit();
}

// What the dialogs refuse when a category is dropped in its own library: itself, anything in
// its sub-tree, and its current parent.
void RefuseOwnSubTree(const CategoryTree& tree, long moved, long target, bool move,
                      const std::string& what) {
    const std::vector<long> subTree = tree.SubTree(moved);
    if (std::find(subTree.begin(), subTree.end(), target) != subTree.end()) {
        throw CommandError(what + ": the destination lies inside the category itself");
    }
    if (move && tree.Find(moved)->parent == target) {
        throw CommandError(what + ": the category is already there");
    }
}

}  // namespace

std::vector<DATABASETYPE> TiersNamed(const std::string& tier) {
    if (tier.empty()) {
        return {std::begin(kTiersUserFirst), std::end(kTiersUserFirst)};
    }
    const auto type = TierFromName(tier);
    if (!type) {
        throw CommandError("no such tier: " + tier + " (master, corporate or user)");
    }
    return {*type};
}

int TreeCommand(Session& session, const std::string& tier, Output output) {
    bool first = true;
    output.out << (output.json ? "[" : "");
    for (const DATABASETYPE type : TiersNamed(tier)) {
        PrintTree(CategoryTree(session, type), output, first);
        first = false;
    }
    output.out << (output.json ? "]\n" : "");
    return 0;
}

int MakeCategoryCommand(Session& session, const std::string& path, Output output) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash + 1 == path.size()) {
        throw CommandError("mkdir: give the new category's path, as in user/Resistors/SMD");
    }
    const std::string name = path.substr(slash + 1);
    const CategoryRef parent = ResolveCategory(session, path.substr(0, slash), "");
    session.RequireRightsOnCategory(parent.type, parent.id, "mkdir " + path);
    const CategoryTree tree(session, parent.type);
    for (const Category* child : tree.Children(parent.id)) {
        if (text::CompareFolded(child->name.str(), name) == 0) {
            throw CommandError("mkdir: " + tree.PathOf(child->id) + " exists");
        }
    }
    const long id = session.Tier(parent.type).GetRSObjectTree()->AddChild(parent.id, name.c_str());
    if (id <= 0) {
        throw CommandError("mkdir: " + path + " could not be made");
    }
    ReportDone(output, "made " + CategoryTree(session, parent.type).PathOf(id) + " [" +
                           std::to_string(id) + "]");
    return 0;
}

int CopyCategoryCommand(Session& session, const std::string& category, const std::string& tier,
                        const std::string& destination, Output output) {
    const CategoryRef source = ResolveCategory(session, category, tier);
    const CategoryRef target = ResolveCategory(session, destination, "");
    session.RequireMasterEdit(target.type, "cp -r");
    if (source.type == target.type) {
        RefuseOwnSubTree(CategoryTree(session, source.type), source.id, target.id, false, "cp -r");
    }
    CMSAccessDBHandler* from = source.type == target.type ? nullptr : &session.Tier(source.type);
    if (!session.Tier(target.type).CopyTree(source.id, target.id, from)) {
        throw CommandError("cp -r: the category could not be copied whole (see above)");
    }
    ReportDone(output, "copied " + CategoryTree(session, source.type).PathOf(source.id) + " into " +
                           CategoryTree(session, target.type).PathOf(target.id));
    return 0;
}

int MoveCategoryCommand(Session& session, const std::string& category, const std::string& tier,
                        const std::string& destination, Output output) {
    const CategoryRef source = ResolveCategory(session, category, tier);
    const CategoryRef target = ResolveCategory(session, destination, "");
    const CategoryTree tree(session, source.type);
    const Category& moved = *tree.Find(source.id);
    if (moved.IsRoot()) {
        throw CommandError("mv: a top category cannot be moved");
    }
    session.RequireRightsOnCategory(source.type, moved.id, "mv");
    session.RequireRightsOnCategory(source.type, moved.parent, "mv");
    session.RequireMasterEdit(target.type, "mv");
    const std::string from = tree.PathOf(moved.id);
    if (source.type == target.type) {
        RefuseOwnSubTree(tree, moved.id, target.id, true, "mv");
        CRSObjectTree& rows = *session.Tier(source.type).GetRSObjectTree();
        rows.FindTreeID(moved.id);
        rows.Edit();
        rows.m_lParentID = target.id;
        try {
            rows.Update();
        } catch (const CDaoException& e) {
            rows.CancelUpdate();
            throw CommandError("mv: " + e.GetErrorMessage().str());
        }
    } else {
        if (!session.Tier(target.type).CopyTree(moved.id, target.id, &session.Tier(source.type))) {
            throw CommandError("mv: the category could not be copied whole; the original stays");
        }
        RemoveSubTree(session, tree, moved.id);
    }
    ReportDone(output,
               "moved " + from + " into " + CategoryTree(session, target.type).PathOf(target.id));
    return 0;
}

int RemoveCategoryCommand(Session& session, const std::string& category, const std::string& tier,
                          bool recursive, Output output) {
    const CategoryRef ref = ResolveCategory(session, category, tier);
    const CategoryTree tree(session, ref.type);
    const Category& removed = *tree.Find(ref.id);
    if (removed.IsRoot()) {
        throw CommandError("rmdir: a top category cannot be removed");
    }
    const std::vector<long> subTree = tree.SubTree(ref.id);
    long parts = 0;
    for (const long id : subTree) {
        parts += tree.Find(id)->parts;
    }
    if (!recursive && (subTree.size() > 1 || parts > 0)) {
        throw CommandError("rmdir: " + tree.PathOf(ref.id) +
                           " is not empty (give -r to remove it with what it holds)");
    }
    for (const long id : subTree) {
        session.RequireRightsOnCategory(ref.type, id, "rmdir");
    }
    RemoveSubTree(session, tree, ref.id);
    ReportDone(output, "removed " + tree.PathOf(ref.id));
    return 0;
}

int PasswordCommand(Session& session, const std::string& tier, Output output) {
    const DATABASETYPE type = tier.empty() ? DATABASETYPE_USER : TiersNamed(tier).front();
    session.RequireRightsOn(type, 0, "passwd");
    const std::string password = session.ReadNewPassword(type);
    session.Tier(type).GetRSUserTree()->SetUserPassword(0, password.c_str());
    ReportDone(output, std::string(password.empty() ? "removed the password of the "
                                                    : "set the password of the ") +
                           TierName(type) + " library");
    return 0;
}

int CacheCommand(Session& session, const std::string& tier, Output output) {
    for (const DATABASETYPE type : TiersNamed(tier)) {
        session.Tier(type).CheckForCache();
        ReportDone(output,
                   std::string("rebuilt the category cache of the ") + TierName(type) + " library");
    }
    return 0;
}

}  // namespace vaultry::cli
