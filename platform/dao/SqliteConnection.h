#pragma once
// One SQLite connection set up with Jet's text semantics, a busy timeout and a crash-safe
// journal.

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dao/Connection.h"
#include "platform/dao/SqliteInsertUndo.h"
#include "platform/dao/SqliteStatement.h"

namespace vaultry::dao {

class SqliteConnection : public Connection {
public:
    enum class Mode { kReadWrite, kReadOnly, kCreate };

    // Opens `path`; kCreate fails when the file exists. Throws CDaoException.
    SqliteConnection(const std::string& path, Mode mode, bool exclusive);
    ~SqliteConnection() override;

    int Changes() const override { return sqlite3_changes(m_db); }
    std::int64_t LastInsertRowid() override { return sqlite3_last_insert_rowid(m_db); }
    std::optional<ReadStamp> CurrentReadStamp() const override;
    void SetBusyTimeout(int milliseconds) override;
    int BusyTimeout() const override { return m_busyTimeout; }
    // Files are written with the rollback journal, as on a network share, also where the
    // write-ahead log would be chosen; for connections opened after the call. Tests run the
    // same work under both journals with it.
    static void UseRollbackJournalEverywhere(bool rollback);

    std::string RowIdColumn(const std::string&) override { return "rowid"; }
    std::optional<std::string> FindTable(std::string_view name) override;
    std::vector<ColumnInfo> TableColumns(const std::string& table) override;
    void CreateTable(const std::string& name, const std::vector<ColumnSpec>& columns) override;

    // The outermost transaction takes the write lock at once (BEGIN IMMEDIATE) when
    // `forWriting`, else the read lock at its first read.
    void BeginTransaction(bool forWriting) override;
    void CommitTransaction() override;
    void RollbackTransaction() override;
    bool TransactionLost() const override;
    std::uint64_t RollbackCount() const override { return m_rollbacks; }
    bool InTransaction() const override { return !m_transactions.empty(); }

protected:
    std::unique_ptr<Statement> NewStatement(std::string_view sql) override;
    void BeforeFirstRun(Statement& statement) override;
    std::string ReadIntegerKeyColumn(const std::string& table) override;
    bool ReadInsertsKeepGivenValues(const std::string& table) override;

private:
    void Configure(Mode mode, bool exclusive);
    // Before the first write: the journal the file is written with. Opening and reading leave
    // the file as it was, so a file that turns out to be no library, or damaged, is refused
    // without having been touched.
    void BeforeWriting();
    // Before a statement that may write: records the row it adds to `undoableTable` (empty for
    // any other statement) where that is enough to undo it, else sets the savepoint the nested
    // transactions begun since the last one wait for (see TransactionStart).
    void BeforeStatementWrites(const std::string& undoableTable);
    void SetPendingSavepoints();
    void ChooseJournalMode();

    sqlite3* m_db = nullptr;
    std::string m_path;
    bool m_journalChosen = true;  // read-only connections never choose
    // How long a statement waits for another program's write to end before it fails as busy:
    // long enough for a large import or copy by another user to finish.
    int m_busyTimeout = 30000;
    // Where each open transaction (outermost first) began: the connection's change counts then,
    // and for a nested one its savepoint. A savepoint is set only when something is about to be
    // written in it (a transaction that only reads undoes nothing), and nested transactions
    // begun with nothing written between them share one: they would all return to the same
    // state. The first of them sets and releases it; the others only roll back to it. Until
    // then, rows added by single-row inserts are recorded instead (see SqliteInsertUndo), and
    // a transaction that only adds rows never sets one.
    enum class Savepoint { kOutermost, kPending, kOwn, kShared };
    struct TransactionStart {
        std::int64_t rowChanges;
        std::uint64_t schemaChanges;
        Savepoint savepoint;
        SqliteInsertUndo::Mark inserts;
        bool insertsComplete = true;  // when its savepoint was set: all it did was recorded
    };
    // Deletes the rows `start`'s transaction added before it had a savepoint; where that
    // cannot restore what was before it, rolls back the whole transaction. Throws CDaoException.
    void UndoInserts(const TransactionStart& start);

    std::vector<TransactionStart> m_transactions;
    std::unique_ptr<SqliteInsertUndo> m_inserts;  // made once the file is open
    std::uint64_t m_rollbacks = 0;
    std::uint64_t m_outermostTransactions = 0;  // begun so far
};

}  // namespace vaultry::dao
