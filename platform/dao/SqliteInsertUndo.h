#pragma once
// Undoes a nested transaction that only added rows by deleting them again, instead of rolling
// back to a savepoint. While a savepoint is open SQLite copies every page it changes into a
// statement journal first; a run storing thousands of parts, each whole or not at all within
// one transaction, spent about a tenth of its time there, though a part's rows are rarely
// undone. A row added by a single-row INSERT into an ordinary table is undone whole by deleting
// it. Only the AUTOINCREMENT counter stays where it went, so the row's number is not given
// again, as Jet never gives an AutoNumber again.

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vaultry::dao {

class SqliteInsertUndo {
public:
    // Where a nested transaction began in the record of added rows.
    struct Mark {
        std::size_t rows = 0;
        std::uint64_t accounted = 0;  // changes recorded or undone here up to then
        std::int64_t changes = 0;     // the connection's total changes then
    };

    // Watches the changes made through `db` (not owned; outlives this).
    explicit SqliteInsertUndo(sqlite3* db);
    ~SqliteInsertUndo();
    SqliteInsertUndo(const SqliteInsertUndo&) = delete;
    SqliteInsertUndo& operator=(const SqliteInsertUndo&) = delete;

    // The table `sql` adds one row to, when deleting that row undoes it: INSERT INTO t (...)
    // VALUES (...), perhaps with ON CONFLICT (...) DO ..., with nothing in parentheses inside
    // or after, into a table with a rowid and no triggers or conflict clause of its own. Empty
    // for any other statement.
    std::string UndoableTable(std::string_view sql) const;

    // The row the statement about to run adds to `table` (which must outlive the statement's
    // run) is recorded; nullptr records nothing.
    void Expect(const std::string* table) { m_expected = table; }

    Mark Now() const;
    // True when every change made since `mark` is a row recorded here or the undoing of one:
    // only then can Undo restore the state at `mark`.
    bool Complete(const Mark& since) const;
    // Deletes the rows recorded since `mark`, newest first. They stay recorded: a rollback to a
    // savepoint set after they were added, and before they were deleted, brings them back.
    // Throws CDaoException.
    void Undo(const Mark& since);
    // The rows recorded since `mark` are in the care of an enclosing savepoint or transaction
    // now, or gone with it.
    void ForgetSince(const Mark& since);

private:
    struct AddedRow {
        std::string table;
        std::int64_t rowid;
    };
    static void OnChange(void* self, int operation, const char* database, const char* table,
                         sqlite3_int64 rowid);
    void DeleteRow(const AddedRow& row);

    sqlite3* m_db;
    const std::string* m_expected = nullptr;
    std::vector<AddedRow> m_rows;
    std::uint64_t m_accounted = 0;
};

}  // namespace vaultry::dao
