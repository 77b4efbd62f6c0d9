#pragma once
// The category trees as the command line names and shows them. A category is named by its id
// within a tier, or by its path from the root: "User/Resistors/SMD", where the first element
// is the root's name or the tier's ("user/Resistors/SMD"). Names compare ignoring case, as
// everywhere in the libraries.

#include <map>
#include <string>
#include <vector>

#include "platform/afx/CString.h"
#include "resources/DatabaseType.h"

class CMSAccessDBHandler;

namespace vaultry::cli {

class Session;

struct Category {
    long id = 0;
    long parent = 0;
    long level = 0;
    long owner = 0;
    CString name;
    long parts = 0;
    bool IsRoot() const { return parent == id; }
};

// One tier's categories read at once: the tree in the order the category set keeps (by level,
// then name), each with its number of parts.
class CategoryTree {
public:
    CategoryTree(Session& session, DATABASETYPE type);

    DATABASETYPE Type() const { return m_type; }
    const std::vector<Category>& All() const { return m_categories; }
    // Null when there is no such category.
    const Category* Find(long id) const;
    const Category* Root() const;
    // The children of `id` by name; a root is never its own child.
    std::vector<const Category*> Children(long id) const;
    // `id` and its sub-tree in the order the dialogs list it: the category, then each child
    // (by name) followed by its own sub-tree.
    std::vector<long> SubTree(long id) const;
    // "User/Resistors/SMD".
    std::string PathOf(long id) const;
    // The category at `path` below the root (the root's own name or the tier's first), or
    // null.
    const Category* FindPath(const std::vector<std::string>& elements) const;

private:
    DATABASETYPE m_type;
    std::vector<Category> m_categories;
    std::map<long, std::size_t> m_index;
};

// A category of some tier.
struct CategoryRef {
    DATABASETYPE type = DATABASETYPE_USER;
    long id = 0;
};

// `text` is an id (in `tier`, the user tier when empty) or a path whose first element names
// the tier. Throws CommandError when nothing matches.
CategoryRef ResolveCategory(Session& session, const std::string& text, const std::string& tier);

// Whether `text` is an id as the command line takes one: digits only.
bool IsNumber(const std::string& text);

// The category at `relative` ("SMD/Fine pitch") below category `base` of `library`, made where
// missing; names compare ignoring case. Throws CommandError when a category cannot be made.
long MakeCategoryPath(CMSAccessDBHandler& library, long base, const std::string& relative);

// The name clause of a category filter: "lObjectTreeID IN(5,7,12,9)".
std::string CategoryFilter(const std::vector<long>& ids);

}  // namespace vaultry::cli
