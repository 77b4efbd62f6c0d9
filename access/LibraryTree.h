#pragma once
// One library's categories, read at once: each with its parent, level, owner, name and number
// of parts, in the order the category set keeps (by level, then name). Names compare ignoring
// case, as everywhere in the libraries. A damaged tree (missing parents, parents in a circle)
// is read as it is; the walks below end instead of running round.

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/afx/CString.h"

class CMSAccessDBHandler;

struct LibraryCategory {
    long id = 0;
    long parent = 0;
    long level = 0;
    long owner = 0;
    CString name;
    long parts = 0;
    bool IsRoot() const { return parent == id; }
};

class LibraryTree {
public:
    enum class Counts { kParts, kNone };

    // Reads the categories of `library` (open; not owned), with the number of parts in each
    // unless `counts` is kNone (then every count is 0). Throws CDaoException.
    explicit LibraryTree(CMSAccessDBHandler& library, Counts counts = Counts::kParts);
    LibraryTree(const LibraryTree&) = delete;  // the children index points into the categories
    LibraryTree& operator=(const LibraryTree&) = delete;

    const std::vector<LibraryCategory>& All() const { return m_categories; }
    // Null when there is no such category.
    const LibraryCategory* Find(long id) const;
    // The first top category (its own parent); null when there is none.
    const LibraryCategory* Root() const;
    // The children of `id` by name; a top category is never its own child.
    std::vector<const LibraryCategory*> Children(long id) const;
    // The child of `parent` called `name` (case ignored), or null.
    const LibraryCategory* Child(long parent, const CString& name) const;
    // `id` and its sub-tree in the order the dialogs list it: the category, then each child (by
    // name) followed by its own sub-tree. Empty when there is no such category. A category met a
    // second time (a damaged tree whose parents run in a circle) ends its branch and sets
    // `damaged`, when given.
    std::vector<long> SubTree(long id, bool* damaged = nullptr) const;
    // Whether `id` is `ancestor` or lies in its sub-tree.
    bool IsWithin(long id, long ancestor) const;
    // The names from the top category down to `id`: "User/Resistors/SMD".
    std::string PathOf(long id) const;
    // The category at the path `elements` below the top category (whose own name is
    // elements[0] and not compared), or null.
    const LibraryCategory* FindPath(const std::vector<std::string>& elements) const;
    // The ids of the parts filed in `categories`.
    std::vector<long> PartsIn(const std::vector<long>& categories) const;

    // The filter of the parts of `categories`: "lObjectTreeID IN(5,7,12,9)".
    static CString PartsFilter(const std::vector<long>& categories);

private:
    CMSAccessDBHandler& m_library;
    std::vector<LibraryCategory> m_categories;
    std::unordered_map<long, std::size_t> m_index;
    // The children of each category, by name: made once, asked by every walk.
    std::unordered_map<long, std::vector<const LibraryCategory*>> m_children;
};
