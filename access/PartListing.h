#pragma once
// The parts of the libraries as the part lists show them: of the categories asked for (with
// their sub-categories when wanted), whose names contain a text, of the document types asked
// for and never of the types hidden from lists, of a land pattern when one is asked for; sorted
// by name, the user library first.

#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "host/GeometryQuery.h"
#include "platform/afx/CString.h"
#include "resources/DatabaseType.h"

class CMSAccessDBHandler;

struct PartEntry {
    long id = 0;
    CString name;
    CString docType;
    long category = 0;
    long owner = 0;
    CString ownerName;
    DATABASETYPE tier = DATABASETYPE_USER;
    bool rights = false;  // may the current user change it
};

struct PartQuery {
    std::optional<DATABASETYPE> tier;  // all three when empty
    std::optional<long> category;      // in `tier`, which must then be set
    bool withSubTree = false;
    CString name;  // a text the name contains (case ignored); empty for any
    // A pattern of Jet's LIKE the whole name matches (* ? # [a-z], case ignored); empty for any.
    CString namePattern;
    CString docTypes;  // "Footprint|Pad-Stack"; empty for every type a plug-in serves
    // Every part whatever its type, also of types hidden from lists or served by no plug-in
    // (`docTypes` is then not looked at).
    bool everyType = false;
    // Only parts whose measured land pattern it matches.
    std::optional<GeometryQuery> geometry;
};

// The entries in list order, from the libraries of the library set. Throws CDaoException when
// a library cannot be read.
std::vector<PartEntry> ListParts(const PartQuery& query);

// Those of `names` that parts of `library` carry, whatever their type or category (case
// ignored), asked in one query. Throws CDaoException when the library cannot be read.
std::vector<CString> TakenNames(CMSAccessDBHandler& library, const std::vector<CString>& names);

// The folded keys of those of `names` that no part of `library` carries, asked in one query:
// asked within a write transaction, they stay free until stored. When the query fails none is
// known free, so that each store asks (and tells the failure) itself.
std::unordered_set<std::string> FreeNames(CMSAccessDBHandler& library,
                                          const std::vector<CString>& names);

// The entry of part `objectID` of `library`; nullopt when there is none.
std::optional<PartEntry> FindPart(CMSAccessDBHandler& library, long objectID);

// The name clause of a part filter: names containing `text` as it stands, case ignored. Quotes
// and the pattern characters of LIKE in it are matched as themselves. Empty for an empty text.
CString NameClause(const CString& text);

// Every document type the plug-ins serve, "|"-separated.
CString AllDocTypes();
