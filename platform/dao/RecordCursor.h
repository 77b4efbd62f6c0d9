#pragma once
// How a record set walks its rows. A cursor stands before the first row, on a row, on a row it
// deleted, or after the last row. Values are those of the current row as of the move onto it.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/afx/COleVariant.h"
#include "platform/dao/JetSql.h"

namespace vaultry::dao {

using FieldChanges = std::vector<std::pair<std::string, COleVariant>>;

class RecordCursor {
public:
    virtual ~RecordCursor() = default;

    // Reads the set again as it stands now (which rows belong to it, their values) and moves to
    // its first row; false when the set is empty. A new cursor has done this already.
    virtual bool Restart() = 0;
    // Takes `statement` (SQLite dialect) in place of the one the cursor was made for when it
    // can serve it without being made anew (the same rows and columns, another condition);
    // false otherwise. Restart follows before any move.
    virtual bool Reselect(const SelectStatement& statement) = 0;

    // Each move returns whether it landed on a row. A failed Next leaves the cursor after the
    // last row, a failed Prev before the first; a failed First or Last means the set is empty.
    virtual bool First() = 0;
    virtual bool Last() = 0;
    virtual bool Next() = 0;
    virtual bool Prev() = 0;
    // Moves to the first (next) row in set order that meets `condition` (SQLite dialect); when
    // there is none, returns false and stays where it was.
    virtual bool FindFirst(const std::string& condition) = 0;
    virtual bool FindNext(const std::string& condition) = 0;

    virtual bool IsBOF() const = 0;
    virtual bool IsEOF() const = 0;
    virtual bool HasCurrentRow() const = 0;
    virtual long Count() = 0;

    // A value to read with each row the cursor finds or walks to by its keys: a scalar
    // sub-query on the row's columns (SQLite dialect), so that a caller who needs it for every
    // row it stands on sends no statement of its own; empty to read none. Cursors that cannot
    // read it leave it unread.
    virtual void ReadAlong(const std::string&) {}
    // That value for the current row; null when the row was not read with it.
    virtual const COleVariant* AlongValue() const { return nullptr; }

    // Values of the current row, indexed like ColumnNames.
    virtual const std::vector<COleVariant>& Row() const = 0;
    virtual const std::vector<std::string>& ColumnNames() const = 0;

    virtual bool CanUpdate() const = 0;
    // Writes `changes` into the current row and reads it back.
    virtual void UpdateCurrent(FieldChanges changes) = 0;
    // Adds a row at the end of the set; the position does not move.
    virtual void Insert(FieldChanges changes) = 0;
    // Deletes the current row; the cursor then stands on the gap it left.
    virtual void DeleteCurrent() = 0;

    // A bookmark names one row of the set for as long as the set is not restarted. Cursors
    // that cannot return to a row leave these as they are.
    virtual bool CanBookmark() const { return false; }
    virtual std::int64_t CurrentBookmark() const { return 0; }
    // The row last inserted or updated through the cursor; 0 when there is none.
    virtual std::int64_t LastModifiedBookmark() const { return 0; }
    // Moves onto the row; false (the position unchanged) when it is no longer in the set.
    virtual bool MoveToBookmark(std::int64_t) { return false; }
};

}  // namespace vaultry::dao
