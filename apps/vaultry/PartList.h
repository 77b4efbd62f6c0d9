#pragma once
// The parts of the libraries as the part list of the dialogs shows them: the categories asked
// for (with their sub-categories when wanted), a name containing a text, the document types
// asked for, and never the types hidden from lists; sorted by name, the user library first.

#include <optional>
#include <string>
#include <vector>

#include "platform/afx/CString.h"
#include "resources/DatabaseType.h"

namespace vaultry::cli {

class Session;

struct PartEntry {
    long id = 0;
    CString name;
    CString docType;
    long category = 0;
    long owner = 0;
    CString ownerName;
    DATABASETYPE tier = DATABASETYPE_USER;
    bool rights = false;
};

struct PartQuery {
    std::optional<DATABASETYPE> tier;  // all three when empty
    std::optional<long> category;      // in `tier`, which must then be set
    bool withSubTree = false;
    std::string name;      // a text the name contains; empty for any
    std::string docTypes;  // "Footprint|Pad-Stack"; empty for every known type
};

// The entries in list order. Throws CommandError when a library cannot be read.
std::vector<PartEntry> ListParts(Session& session, const PartQuery& query);

// The name clause of the part list: quotes, bars and brackets removed from `text`, then
// strObjectName LIKE"*text*". Empty when nothing is left.
std::string NameClause(std::string text);

// Every document type the plug-ins serve, "|"-separated.
std::string AllDocTypes();

}  // namespace vaultry::cli
