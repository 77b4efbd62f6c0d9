// tree, mkdir, cp -r, mv -r and rmdir for categories, cache, and passwd.

#include <functional>

#include "access/CMSAccessDBHandler.h"
#include "access/LibraryTree.h"
#include "access/PartGeometryTable.h"
#include "apps/vaultry/Categories.h"
#include "apps/vaultry/Commands.h"
#include "apps/vaultry/Json.h"
#include "apps/vaultry/Session.h"

namespace vaultry::cli {
namespace {

void PrintTree(const LibraryTree& tree, DATABASETYPE type, Output output, bool firstTier) {
    const LibraryCategory* root = tree.Root();
    if (root == nullptr) {
        return;
    }
    std::ostream& out = output.out;
    if (output.json) {
        out << (firstTier ? "" : ",\n ") << "{\"tier\":\"" << TierName(type)
            << "\",\"categories\":[";
        bool first = true;
        for (const long id : tree.SubTree(root->id)) {
            const LibraryCategory& c = *tree.Find(id);
            out << (first ? "" : ",") << "{\"id\":" << c.id << ",\"parent\":" << c.parent
                << ",\"level\":" << c.level << ",\"name\":" << JsonString(c.name.str())
                << ",\"path\":" << JsonString(tree.PathOf(c.id)) << ",\"parts\":" << c.parts << "}";
            first = false;
        }
        out << "]}";
        return;
    }
    std::function<void(const LibraryCategory&, int)> print = [&](const LibraryCategory& c,
                                                                 int depth) {
        out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << c.name.str() << "  ["
            << c.id << "] " << c.parts << (c.parts == 1 ? " part" : " parts") << "\n";
        for (const LibraryCategory* child : tree.Children(c.id)) {
            print(*child, depth + 1);
        }
    };
    print(*root, 0);
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
        PrintTree(LibraryTree(session.Tier(type)), type, output, first);
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
    const CategoryRef parent = ResolveCategory(session, path.substr(0, slash), "");
    long id = 0;
    Attempt("mkdir " + path, [&] {
        id = session.Editor(parent.type).MakeCategory(parent.id, path.substr(slash + 1).c_str());
    });
    ReportDone(output,
               "made " + PathOf(session, {parent.type, id}) + " [" + std::to_string(id) + "]");
    return 0;
}

int CopyCategoryCommand(Session& session, const std::string& category, const std::string& tier,
                        const std::string& destination, Output output) {
    const CategoryRef source = ResolveCategory(session, category, tier);
    const CategoryRef target = ResolveCategory(session, destination, "");
    const std::string from = PathOf(session, source);
    Attempt("cp -r", [&] {
        session.Editor(target.type).CopyCategory(session.Tier(source.type), source.id, target.id);
    });
    ReportDone(output, "copied " + from + " into " + PathOf(session, target));
    return 0;
}

int MoveCategoryCommand(Session& session, const std::string& category, const std::string& tier,
                        const std::string& destination, Output output) {
    const CategoryRef source = ResolveCategory(session, category, tier);
    const CategoryRef target = ResolveCategory(session, destination, "");
    const std::string from = PathOf(session, source);
    Attempt("mv -r", [&] {
        session.Editor(target.type)
            .MoveCategoryFrom(session.Tier(source.type), source.id, target.id);
    });
    ReportDone(output, "moved " + from + " into " + PathOf(session, target));
    return 0;
}

int RemoveCategoryCommand(Session& session, const std::string& category, const std::string& tier,
                          bool recursive, Output output) {
    const CategoryRef ref = ResolveCategory(session, category, tier);
    const LibraryTree tree(session.Tier(ref.type));
    const std::vector<long> subTree = tree.SubTree(ref.id);
    if (!recursive && (subTree.size() > 1 || !tree.PartsIn(subTree).empty())) {
        throw CommandError("rmdir: " + tree.PathOf(ref.id) +
                           " is not empty (give -r to remove it with what it holds)");
    }
    Attempt("rmdir", [&] { session.Editor(ref.type).RemoveCategory(ref.id); });
    ReportDone(output, "removed " + tree.PathOf(ref.id));
    return 0;
}

int PasswordCommand(Session& session, const std::string& tier, Output output) {
    const DATABASETYPE type = tier.empty() ? DATABASETYPE_USER : TiersNamed(tier).front();
    // The current password first: who does not know it may not change it.
    Attempt("passwd", [&] { session.Rights().Require(session.Tier(type), 0); });
    const std::string password = session.ReadNewPassword(type);
    Attempt("passwd", [&] { session.Editor(type).SetPassword(0, password.c_str()); });
    ReportDone(output, std::string(password.empty() ? "removed the password of the "
                                                    : "set the password of the ") +
                           TierName(type) + " library");
    return 0;
}

int CacheCommand(Session& session, const std::string& tier, Output output) {
    for (const DATABASETYPE type : TiersNamed(tier)) {
        session.Tier(type).CheckForCache();
        const int measured = PartGeometryTable(session.Tier(type)).Rebuild();
        ReportDone(output,
                   "rebuilt the category cache of the " + std::string(TierName(type)) +
                       " library and measured the land patterns of its " +
                       std::to_string(measured) + " parts",
                   measured);
    }
    return 0;
}

}  // namespace vaultry::cli
