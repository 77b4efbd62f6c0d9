#pragma once
// What the record sets of a tier ask about its current user: who owns the rows added now, and
// whether the user may change what some user owns. The handler of the tier answers; a record
// set finds it through the database it is open on, so the tables need not know the library set.

class CDaoDatabase;

namespace vaultry::tables {

class TierRights {
public:
    virtual ~TierRights() = default;
    // The current user; -1 when there is none.
    virtual long GetUserID() const = 0;
    // Whether the current user may change what `lOwnerID` owns.
    virtual bool HasRightsOn(long lOwnerID) = 0;

    // The rights of the tier `database` is the file of; null for a database opened on its own
    // (by a tool or a test), where nobody has rights and rows get no owner. Not owned.
    static TierRights* Of(CDaoDatabase* database);
};

}  // namespace vaultry::tables
