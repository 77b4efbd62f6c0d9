#pragma once
// Tells which names the parts of a library carry, for a long series of stores made under the
// library's write lock (an import, in one transaction): no other program adds a name meanwhile.
// Names are asked about in one query for each batch, until more have been asked about than a
// quarter of the parts the library held at the start; then every name of the library is read
// once and the rest answered from memory. Asking about a name costs the library about four
// times what reading one does, so a small import into a large library still reads little, and a
// large import into a small library asks little.

#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/afx/CString.h"

class CMSAccessDBHandler;

class TakenNameFinder {
public:
    // `library` (open, not owned) must outlive this. Throws CDaoException.
    explicit TakenNameFinder(CMSAccessDBHandler& library);

    // Those of `names`, as given, that the library's parts carried when this was made (case
    // ignored); the caller keeps track of the names it stores itself. Throws CDaoException.
    std::vector<CString> Taken(const std::vector<CString>& names);

private:
    static constexpr long kAskedPerRead = 4;

    CMSAccessDBHandler& m_library;
    const long m_parts;
    long m_asked = 0;
    std::optional<std::unordered_set<std::string>> m_all;  // folded keys, once read
};
