#include "apps/vaultry/Categories.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "access/CMSAccessDBHandler.h"
#include "apps/vaultry/Session.h"
#include "platform/afx/UnicodeCase.h"
#include "platform/dao/CDaoRecordset.h"
#include "platform/dao/DaoQuote.h"
#include "tables/CRSObjectTree.h"

namespace vaultry::cli {
namespace {

bool SameName(const CString& a, const std::string& b) {
    return text::CompareFolded(a.str(), b) == 0;
}

std::vector<std::string> SplitPath(const std::string& text) {
    std::vector<std::string> elements;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t slash = text.find('/', start);
        const std::string element = text.substr(start, slash - start);
        if (!element.empty()) {
            elements.push_back(element);
        }
        if (slash == std::string::npos) {
            break;
        }
        start = slash + 1;
    }
    return elements;
}

}  // namespace

bool IsNumber(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

long MakeCategoryPath(CMSAccessDBHandler& library, long base, const std::string& relative) {
    long at = base;
    for (const std::string& name : SplitPath(relative)) {
        CDaoRecordset child(&library);
        child.Open(dbOpenSnapshot,
                   ("SELECT lTreeID FROM tObjectTree WHERE lParentID=" + std::to_string(at) +
                    " AND lParentID<>lTreeID AND strName=" + dao::QuoteText(name.c_str()).str())
                       .c_str());
        const long found = child.IsEOF() ? 0 : static_cast<long>(child.GetFieldValue(0).AsInt64());
        at = found > 0 ? found : library.GetRSObjectTree()->AddChild(at, name.c_str());
        if (at <= 0) {
            throw CommandError("the category " + name + " could not be made");
        }
    }
    return at;
}

CategoryTree::CategoryTree(Session& session, DATABASETYPE type) : m_type(type) {
    CMSAccessDBHandler& tier = session.Tier(type);
    CDaoRecordset rows(&tier);
    rows.Open(dbOpenSnapshot,
              "SELECT lTreeID, lParentID, lLevel, lUserID, strName FROM tObjectTree ORDER BY "
              "lLevel, strName");
    for (; !rows.IsEOF(); rows.MoveNext()) {
        Category category;
        category.id = static_cast<long>(rows.GetFieldValue(0).AsInt64());
        category.parent = static_cast<long>(rows.GetFieldValue(1).AsInt64());
        category.level = static_cast<long>(rows.GetFieldValue(2).AsInt64());
        category.owner = static_cast<long>(rows.GetFieldValue(3).AsInt64());
        category.name = rows.GetFieldValue(4).AsText();
        m_index[category.id] = m_categories.size();
        m_categories.push_back(category);
    }
    CDaoRecordset counts(&tier);
    counts.Open(dbOpenSnapshot,
                "SELECT lObjectTreeID, Count(*) FROM tObjects GROUP BY lObjectTreeID");
    for (; !counts.IsEOF(); counts.MoveNext()) {
        const auto found = m_index.find(static_cast<long>(counts.GetFieldValue(0).AsInt64()));
        if (found != m_index.end()) {
            m_categories[found->second].parts =
                static_cast<long>(counts.GetFieldValue(1).AsInt64());
        }
    }
}

const Category* CategoryTree::Find(long id) const {
    const auto found = m_index.find(id);
    return found == m_index.end() ? nullptr : &m_categories[found->second];
}

const Category* CategoryTree::Root() const {
    for (const Category& category : m_categories) {
        if (category.IsRoot()) {
            return &category;
        }
    }
    return nullptr;
}

std::vector<const Category*> CategoryTree::Children(long id) const {
    std::vector<const Category*> children;
    for (const Category& category : m_categories) {
        if (category.parent == id && !category.IsRoot()) {
            children.push_back(&category);
        }
    }
    std::stable_sort(children.begin(), children.end(), [](const Category* a, const Category* b) {
        return text::CompareFolded(a->name.str(), b->name.str()) < 0;
    });
    return children;
}

std::vector<long> CategoryTree::SubTree(long id) const {
    std::vector<long> ids;
    std::vector<bool> seen(m_categories.size(), false);  // a damaged tree may run in a circle
    std::function<void(long)> walk = [&](long at) {
        const auto found = m_index.find(at);
        if (found == m_index.end() || seen[found->second]) {
            return;
        }
        seen[found->second] = true;
        ids.push_back(at);
        for (const Category* child : Children(at)) {
            walk(child->id);
        }
    };
    walk(id);
    return ids;
}

std::string CategoryTree::PathOf(long id) const {
    std::vector<std::string> names;
    for (const Category* at = Find(id); at != nullptr && names.size() <= m_categories.size();
         at = at->IsRoot() ? nullptr : Find(at->parent)) {
        names.push_back(at->name.str());
    }
    std::string path;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        path += (path.empty() ? "" : "/") + *it;
    }
    return path;
}

const Category* CategoryTree::FindPath(const std::vector<std::string>& elements) const {
    const Category* at = Root();
    for (std::size_t i = 1; at != nullptr && i < elements.size(); ++i) {
        const std::vector<const Category*> children = Children(at->id);
        const auto next = std::find_if(children.begin(), children.end(), [&](const Category* c) {
            return SameName(c->name, elements[i]);
        });
        at = next == children.end() ? nullptr : *next;
    }
    return at;
}

CategoryRef ResolveCategory(Session& session, const std::string& text, const std::string& tier) {
    if (IsNumber(text)) {
        const auto type = tier.empty() ? std::optional(DATABASETYPE_USER) : TierFromName(tier);
        if (!type) {
            throw CommandError("no such tier: " + tier);
        }
        const CategoryTree tree(session, *type);
        if (tree.Find(std::stol(text)) == nullptr) {
            throw CommandError("no category " + text + " in the " + TierName(*type) + " library");
        }
        return {*type, std::stol(text)};
    }
    const std::vector<std::string> elements = SplitPath(text);
    for (const DATABASETYPE type : kTiersUserFirst) {
        const CategoryTree tree(session, type);
        const Category* root = tree.Root();
        if (elements.empty() || root == nullptr ||
            !(SameName(root->name, elements[0]) || elements[0] == TierName(type))) {
            continue;
        }
        if (!tier.empty() && tier != TierName(type)) {
            throw CommandError(text + " lies in the " + TierName(type) + " library, not in " +
                               tier);
        }
        if (const Category* found = tree.FindPath(elements)) {
            return {type, found->id};
        }
        throw CommandError("no category " + text);
    }
    throw CommandError("no category " + text +
                       " (a path starts with the tier: user, corporate or master)");
}

std::string CategoryFilter(const std::vector<long>& ids) {
    std::string filter = "lObjectTreeID IN(";
    for (std::size_t i = 0; i < ids.size(); ++i) {
        filter += (i ? "," : "") + std::to_string(ids[i]);
    }
    return filter + ")";
}

}  // namespace vaultry::cli
