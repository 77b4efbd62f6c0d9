#pragma once
// One connection to a library database, whatever engine keeps it: statements prepared once and
// cached, nested transactions, and what the cursors above need to know of what was read.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/dao/Statement.h"

namespace vaultry::dao {

class Connection {
public:
    virtual ~Connection();
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // A cached statement, reset and unbound again when the lease ends.
    class Lease {
    public:
        Lease(Statement* statement, bool* busyFlag, std::unique_ptr<Statement> owned);
        ~Lease();
        Lease(Lease&& other) noexcept;
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        Lease& operator=(Lease&&) = delete;
        Statement& operator*() const { return *m_statement; }
        Statement* operator->() const { return m_statement; }

    private:
        Statement* m_statement;
        bool* m_busyFlag;
        std::unique_ptr<Statement> m_owned;
    };

    // The statement for `sql` (the engine's dialect, ? for parameters), prepared once per
    // connection. A statement already in use by an enclosing caller is prepared afresh rather
    // than shared.
    Lease Prepare(std::string_view sql);
    // Runs a statement that returns no rows.
    void Execute(std::string_view sql);

    // The column that is `table`'s integer key (its row id under another name), or empty.
    // Asked on every insert through a record set, so remembered until the schema changes
    // through this connection; libraries do not change their schema under a running program.
    const std::string& IntegerKeyColumn(const std::string& table);
    // Whether a row inserted into `table` holds exactly the values given for its columns, so
    // that it need not be read back: nothing (a trigger) changes it on the way. Remembered as
    // IntegerKeyColumn is. `table` is the plain name.
    bool InsertsKeepGivenValues(const std::string& table);
    // Grows with every change of the schema made through this connection.
    std::uint64_t SchemaChangeCount() const { return m_schemaChanges; }

    // The catalog, as each engine keeps it. Names are quoted as QuoteIdentifier quotes them.
    // The column (real or hidden) that names each row of `table`, for statements to use.
    virtual std::string RowIdColumn(const std::string& table) = 0;
    // The name the table `name` names has in the database (names ignore case); nullopt when
    // there is none.
    virtual std::optional<std::string> FindTable(std::string_view name) = 0;
    struct ColumnInfo {
        std::string name;
        short daoType;
        bool required;
    };
    // The columns of a table that exists, in order, without hidden ones.
    virtual std::vector<ColumnInfo> TableColumns(const std::string& table) = 0;
    struct ColumnSpec {
        std::string name;
        short daoType;
        long size;  // of a text: the most characters it takes; 0 for no limit
        bool autoIncrement;
        bool required;
    };
    // Text columns ignore case as Jet's do; an auto-increment column is the table's row id.
    virtual void CreateTable(const std::string& name, const std::vector<ColumnSpec>& columns) = 0;
    // Makes what a new database of this engine needs beyond its tables; within the
    // transaction that makes the database.
    virtual void PrepareNewDatabase() {}

    // Whether an insert had best return the row it adds, rather than have it read again when
    // wanted: on a server a read is a round trip; in SQLite returning it costs more than
    // knowing it from the values given (InsertsKeepGivenValues) or reading it by its key.
    virtual bool InsertsReturnRows() const { return false; }

    // Rows changed by the last row statement.
    virtual int Changes() const = 0;
    // The row id of the last row inserted through this connection.
    virtual std::int64_t LastInsertRowid() = 0;

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
    virtual std::optional<ReadStamp> CurrentReadStamp() const = 0;

    // How long a statement waits for another program's write to end before it fails as busy.
    virtual void SetBusyTimeout(int milliseconds) = 0;
    virtual int BusyTimeout() const = 0;

    // Transactions nest: the outermost takes the write lock when `forWriting`, before its
    // first statement runs (a server's connection sends its begin with that statement, and a
    // lock it could not have fails that statement), else reads one state of the database;
    // inner ones are savepoints.
    virtual void BeginTransaction(bool forWriting) = 0;
    // A read whose first exchange with the database answers it (a part found with its
    // content; what else it needs, caches hold): a server's connection sends it with no
    // transaction block, and the server ends it with that exchange rather than upon a message
    // after it. Should the read need another exchange after all, that one and the rest run in a
    // read transaction of their own.
    virtual void BeginSingleRead() { BeginTransaction(false); }
    virtual void CommitTransaction() = 0;
    virtual void RollbackTransaction() = 0;
    // True when the engine ended the open transaction by itself after an error.
    virtual bool TransactionLost() const = 0;
    // How many rollbacks (of transactions or savepoints) this connection has made that undid a
    // change: what was seen written before the last one may be gone. Ending a transaction that
    // only read does not count.
    virtual std::uint64_t RollbackCount() const = 0;
    // True while a transaction begun through this connection is open.
    virtual bool InTransaction() const = 0;

protected:
    virtual std::unique_ptr<Statement> NewStatement(std::string_view sql) = 0;
    // Called once for each statement prepared into the cache, before it first runs.
    virtual void BeforeFirstRun(Statement&) {}
    virtual std::string ReadIntegerKeyColumn(const std::string& table) = 0;
    virtual bool ReadInsertsKeepGivenValues(const std::string&) { return false; }
    // A rollback may have undone a change of the schema.
    void ForgetSchema() {
        m_integerKeys.clear();
        m_insertsKeepGivenValues.clear();
    }
    // Empties the statement cache; for engines closing their handle.
    void ForgetStatements() { m_cache.clear(); }
    // Lets go of the cached statements not in use, to be prepared again when next wanted; for
    // engines that learn that another program changed the schema.
    void ForgetIdleStatements();

private:
    struct CachedStatement {
        std::unique_ptr<Statement> statement;
        bool busy = false;
    };

    std::uint64_t m_schemaChanges = 0;
    // Looked up by the text as given, without making a string of it each time.
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    std::unordered_map<std::string, CachedStatement, TextHash, std::equal_to<>> m_cache;
    std::unordered_map<std::string, std::string> m_integerKeys;      // by quoted table name
    std::unordered_map<std::string, bool> m_insertsKeepGivenValues;  // by plain table name
};

}  // namespace vaultry::dao
