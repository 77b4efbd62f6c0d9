#pragma once
// Finds the object type row whose common data block equals a given block, adding one when none
// does. Storing many parts of one design needs the block encoded and matched once, not once per
// part, so the type found last is remembered with the definitions it was found for.

#include <cstdint>
#include <optional>

#include "host/CColorDefinition.h"
#include "host/CLayerDefinition.h"
#include "platform/afx/CString.h"

class CCommonLibraryInfo;
class CDaoDatabase;
class CDocTypeLibraryInfo;
class CRSObjectTypes;

class ObjectTypeFinder {
public:
    // The type of `docType` whose block equals `block`, added when there is none; -1 when the
    // block cannot be encoded or the row not written. Throws CDaoException.
    long TypeFor(CDaoDatabase& database, CRSObjectTypes& types, CCommonLibraryInfo& block,
                 const CString& docType);
    // Forgets the remembered type: its database is closing.
    void Forget() { m_last.reset(); }

private:
    static long FindOrAdd(CRSObjectTypes& types, CCommonLibraryInfo& block, const CString& docType);
    static bool TypeRowExists(CDaoDatabase& database, long typeID, const CString& docType);

    struct Remembered {
        CString docType;
        CLayerDefinition layers;
        CColorDefinition colours;
        long typeID = -1;
        // The connection's rollback count when the type row was last seen in the file: only a
        // rollback since can have taken it away.
        std::uint64_t seenAtRollback = 0;
        bool Matches(const CString& type, const CDocTypeLibraryInfo& info) const;
    };
    std::optional<Remembered> m_last;
};
