#include "access/LibraryTree.h"

#include <algorithm>

#include "access/CMSAccessDBHandler.h"
#include "platform/afx/UnicodeCase.h"
#include "platform/dao/CDaoRecordset.h"

namespace {

bool SameName(const CString& a, const std::string& b) {
    return vaultry::text::CompareFolded(a.str(), b) == 0;
}

long LongAt(CDaoRecordset& rows, int column) {
    return static_cast<long>(rows.GetFieldValue(column).AsInt64());
}

}  // namespace

LibraryTree::LibraryTree(CMSAccessDBHandler& library, Counts counts) : m_library(library) {
    CDaoRecordset rows(&library);
    rows.Open(dbOpenForwardOnly,
              "SELECT lTreeID, lParentID, lLevel, lUserID, strName FROM tObjectTree ORDER BY "
              "lLevel, strName");
    for (; !rows.IsEOF(); rows.MoveNext()) {
        m_categories.push_back({LongAt(rows, 0), LongAt(rows, 1), LongAt(rows, 2), LongAt(rows, 3),
                                rows.GetFieldValue(4).AsText()});
    }
    m_index.reserve(m_categories.size());
    for (std::size_t i = 0; i < m_categories.size(); ++i) {
        const LibraryCategory& category = m_categories[i];
        m_index[category.id] = i;
        if (!category.IsRoot()) {
            m_children[category.parent].push_back(&category);
        }
    }
    // Siblings share a level and so come in name order already, unless the levels are damaged.
    const auto byName = [](const LibraryCategory* a, const LibraryCategory* b) {
        return vaultry::text::CompareFolded(a->name.str(), b->name.str()) < 0;
    };
    for (auto& [parent, children] : m_children) {
        if (!std::is_sorted(children.begin(), children.end(), byName)) {
            std::stable_sort(children.begin(), children.end(), byName);
        }
    }
    if (counts == Counts::kNone) {
        return;
    }
    CDaoRecordset parts(&library);
    parts.Open(dbOpenForwardOnly,
               "SELECT lObjectTreeID, Count(*) FROM tObjects GROUP BY lObjectTreeID");
    for (; !parts.IsEOF(); parts.MoveNext()) {
        const auto found = m_index.find(LongAt(parts, 0));
        if (found != m_index.end()) {
            m_categories[found->second].parts = LongAt(parts, 1);
        }
    }
}

const LibraryCategory* LibraryTree::Find(long id) const {
    const auto found = m_index.find(id);
    return found == m_index.end() ? nullptr : &m_categories[found->second];
}

const LibraryCategory* LibraryTree::Root() const {
    for (const LibraryCategory& category : m_categories) {
        if (category.IsRoot()) {
            return &category;
        }
    }
    return nullptr;
}

std::vector<const LibraryCategory*> LibraryTree::Children(long id) const {
    const auto found = m_children.find(id);
    return found == m_children.end() ? std::vector<const LibraryCategory*>() : found->second;
}

const LibraryCategory* LibraryTree::Child(long parent, const CString& name) const {
    for (const LibraryCategory* child : Children(parent)) {
        if (SameName(child->name, name.str())) {
            return child;
        }
    }
    return nullptr;
}

// Walked with a stack of its own, so that however deep a (damaged) tree runs, the walk does.
std::vector<long> LibraryTree::SubTree(long id, bool* damaged) const {
    std::vector<long> ids;
    std::vector<bool> seen(m_categories.size(), false);
    std::vector<long> pending{id};
    while (!pending.empty()) {
        const long at = pending.back();
        pending.pop_back();
        const auto found = m_index.find(at);
        if (found == m_index.end()) {
            continue;
        }
        if (seen[found->second]) {
            if (damaged != nullptr) {
                *damaged = true;
            }
            continue;
        }
        seen[found->second] = true;
        ids.push_back(at);
        const std::vector<const LibraryCategory*> children = Children(at);
        for (auto child = children.rbegin(); child != children.rend(); ++child) {
            pending.push_back((*child)->id);
        }
    }
    return ids;
}

bool LibraryTree::IsWithin(long id, long ancestor) const {
    const std::vector<long> subTree = SubTree(ancestor);
    return std::find(subTree.begin(), subTree.end(), id) != subTree.end();
}

std::string LibraryTree::PathOf(long id) const {
    std::vector<std::string> names;
    for (const LibraryCategory* at = Find(id); at != nullptr && names.size() <= m_categories.size();
         at = at->IsRoot() ? nullptr : Find(at->parent)) {
        names.push_back(at->name.str());
    }
    std::string path;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        path += (path.empty() ? "" : "/") + *it;
    }
    return path;
}

const LibraryCategory* LibraryTree::FindPath(const std::vector<std::string>& elements) const {
    const LibraryCategory* at = Root();
    for (std::size_t i = 1; at != nullptr && i < elements.size(); ++i) {
        at = Child(at->id, elements[i].c_str());
    }
    return at;
}

std::vector<long> LibraryTree::PartsIn(const std::vector<long>& categories) const {
    std::vector<long> parts;
    if (categories.empty()) {
        return parts;
    }
    CDaoRecordset rows(&m_library);
    rows.Open(dbOpenSnapshot, "SELECT lObjectID FROM tObjects WHERE " + PartsFilter(categories) +
                                  " ORDER BY lObjectID");
    for (; !rows.IsEOF(); rows.MoveNext()) {
        parts.push_back(LongAt(rows, 0));
    }
    return parts;
}

CString LibraryTree::PartsFilter(const std::vector<long>& categories) {
    std::string filter = "lObjectTreeID IN(";
    for (std::size_t i = 0; i < categories.size(); ++i) {
        filter += (i ? "," : "") + std::to_string(categories[i]);
    }
    return (filter + ")").c_str();
}
