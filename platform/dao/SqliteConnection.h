#pragma once
// One SQLite connection set up with Jet's text semantics, a busy timeout, a crash-safe journal
// and a cache of prepared statements.

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/dao/SqliteStatement.h"

namespace vaultry::dao {

class SqliteConnection {
public:
    enum class Mode { kReadWrite, kReadOnly, kCreate };

    // Opens `path`; kCreate fails when the file exists. Throws CDaoException.
    SqliteConnection(const std::string& path, Mode mode, bool exclusive);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    // A cached statement, reset and unbound again when the lease ends.
    class Lease {
    public:
        Lease(SqliteStatement* statement, bool* busyFlag, std::unique_ptr<SqliteStatement> owned);
        ~Lease();
        Lease(Lease&& other) noexcept;
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        Lease& operator=(Lease&&) = delete;
        SqliteStatement& operator*() const { return *m_statement; }
        SqliteStatement* operator->() const { return m_statement; }

    private:
        SqliteStatement* m_statement;
        bool* m_busyFlag;
        std::unique_ptr<SqliteStatement> m_owned;
    };

    // The statement for `sql`, prepared once per connection. A statement already in use by an
    // enclosing caller is prepared afresh rather than shared.
    Lease Prepare(std::string_view sql);
    // Runs a statement that returns no rows.
    void Execute(std::string_view sql);

    // The column that is `table`'s INTEGER PRIMARY KEY (its row id under another name), or
    // empty. Asked on every insert through a record set, so remembered until the schema changes
    // through this connection; library files do not change their schema under a running program.
    const std::string& IntegerKeyColumn(const std::string& table);

    int Changes() const { return sqlite3_changes(m_db); }
    // Within one transaction no other connection's change shows, so what was read holds until
    // this connection writes (or rolls back). A stamp taken when something was read, equal to
    // the one taken later, says that it still holds. Outside a transaction there is no stamp:
    // another program may change anything between two statements.
    struct ReadStamp {
        std::uint64_t transaction = 0;
        std::int64_t ownChanges = 0;
        std::uint64_t rollbacks = 0;
        std::uint64_t schemaChanges = 0;
        bool operator==(const ReadStamp&) const = default;
    };
    std::optional<ReadStamp> CurrentReadStamp() const;
    std::int64_t LastInsertRowid() const { return sqlite3_last_insert_rowid(m_db); }
    void SetBusyTimeout(int milliseconds);
    // Files are written with the rollback journal, as on a network share, also where the
    // write-ahead log would be chosen; for connections opened after the call. Tests run the
    // same work under both journals with it.
    static void UseRollbackJournalEverywhere(bool rollback);
    int BusyTimeout() const { return m_busyTimeout; }

    // Transactions nest: the outermost takes the write lock at once (BEGIN IMMEDIATE) when
    // `forWriting`, else the read lock at its first read; inner ones are savepoints.
    void BeginTransaction(bool forWriting);
    void CommitTransaction();
    void RollbackTransaction();
    // True when SQLite ended the open transaction by itself after an error.
    bool TransactionLost() const;
    // How many rollbacks (of transactions or savepoints) this connection has made that undid a
    // change: what was seen written in the file before the last one may be gone. Ending a
    // transaction that only read does not count.
    std::uint64_t RollbackCount() const { return m_rollbacks; }
    // True while a transaction begun through this connection is open.
    bool InTransaction() const { return !m_transactions.empty(); }
    // Grows with every change of the schema made through this connection.
    std::uint64_t SchemaChangeCount() const { return m_schemaChanges; }

private:
    struct CachedStatement {
        std::unique_ptr<SqliteStatement> statement;
        bool busy = false;
    };

    void Configure(Mode mode, bool exclusive);
    // Before the first write: the journal the file is written with. Opening and reading leave
    // the file as it was, so a file that turns out to be no library, or damaged, is refused
    // without having been touched.
    void BeforeWriting();
    void ChooseJournalMode();

    sqlite3* m_db = nullptr;
    std::string m_path;
    bool m_journalChosen = true;  // read-only connections never choose
    // How long a statement waits for another program's write to end before it fails as busy:
    // long enough for a large import or copy by another user to finish.
    int m_busyTimeout = 30000;
    // Where each open transaction (outermost first) began: the connection's change counts then.
    struct TransactionStart {
        std::int64_t rowChanges;
        std::uint64_t schemaChanges;
    };
    std::vector<TransactionStart> m_transactions;
    std::uint64_t m_schemaChanges = 0;
    std::uint64_t m_rollbacks = 0;
    std::uint64_t m_outermostTransactions = 0;  // begun so far
    std::unordered_map<std::string, CachedStatement> m_cache;
    std::unordered_map<std::string, std::string> m_integerKeys;  // by quoted table name
};

}  // namespace vaultry::dao
