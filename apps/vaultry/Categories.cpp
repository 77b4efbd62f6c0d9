#include "apps/vaultry/Categories.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <vector>

#include "access/LibraryTree.h"
#include "apps/vaultry/Session.h"
#include "platform/afx/UnicodeCase.h"

namespace vaultry::cli {
namespace {

// "user/Resistors//SMD/" gives user, Resistors and SMD.
std::vector<std::string> SplitPath(const std::string& text) {
    const CString path = text.c_str();
    std::vector<std::string> elements;
    int start = 0;
    for (CString name = path.Tokenize("/", start); start >= 0; name = path.Tokenize("/", start)) {
        elements.push_back(name.str());
    }
    return elements;
}

// Whether the path's first element names the tier or its top category.
bool NamesTier(const LibraryTree& tree, DATABASETYPE type, const std::string& first) {
    const LibraryCategory* root = tree.Root();
    return root != nullptr &&
           (text::CompareFolded(root->name.str(), first) == 0 || first == TierName(type));
}

}  // namespace

std::string PathOf(Session& session, const CategoryRef& category) {
    return LibraryTree(session.Tier(category.type)).PathOf(category.id);
}

bool IsNumber(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::optional<long> IdOf(const std::string& text) {
    std::int32_t id = 0;  // ids are the libraries' long integers, 32 bits
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return id;
}

CategoryRef ResolveCategory(Session& session, const std::string& text, const std::string& tier) {
    if (IsNumber(text)) {
        const auto type = tier.empty() ? std::optional(DATABASETYPE_USER) : TierFromName(tier);
        if (!type) {
            throw CommandError("no such tier: " + tier);
        }
        const std::optional<long> id = IdOf(text);
        if (!id || LibraryTree(session.Tier(*type)).Find(*id) == nullptr) {
            throw CommandError("no category " + text + " in the " + TierName(*type) + " library");
        }
        return {*type, *id};
    }
    const std::vector<std::string> elements = SplitPath(text);
    for (const DATABASETYPE type : kTiersUserFirst) {
        const LibraryTree tree(session.Tier(type));
        if (elements.empty() || !NamesTier(tree, type, elements[0])) {
            continue;
        }
        if (!tier.empty() && tier != TierName(type)) {
            throw CommandError(text + " lies in the " + TierName(type) + " library, not in " +
                               tier);
        }
        if (const LibraryCategory* found = tree.FindPath(elements)) {
            return {type, found->id};
        }
        throw CommandError("no category " + text);
    }
    throw CommandError("no category " + text +
                       " (a path starts with the tier: user, corporate or master)");
}

}  // namespace vaultry::cli
