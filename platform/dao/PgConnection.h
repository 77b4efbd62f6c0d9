#pragma once
// One connection to a library kept in a PostgreSQL database. Writers take the library's write
// lock (an advisory lock named after the schema) as their transaction begins, so that changes
// follow one another as they do in a library file; readers read one snapshot per transaction.

#include <libpq-fe.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dao/Connection.h"
#include "platform/dao/PgSql.h"
#include "platform/dao/PgWatchedTables.h"

namespace vaultry::dao {

class PgConnection : public Connection {
public:
    // Connects to `connectionString`, a libpq URI ("postgresql://...") or key=value string.
    // Throws CDaoException with the server's SQLSTATE (08006 when no server answered).
    PgConnection(const std::string& connectionString, bool readOnly);
    ~PgConnection() override;

    bool InsertsReturnRows() const override { return true; }
    int Changes() const override { return m_lastChanges; }
    std::int64_t LastInsertRowid() override;
    std::optional<ReadStamp> CurrentReadStamp() const override;
    void SetBusyTimeout(int milliseconds) override;
    int BusyTimeout() const override { return m_busyTimeout; }

    std::string RowIdColumn(const std::string& table) override;
    std::optional<std::string> FindTable(std::string_view name) override;
    std::vector<ColumnInfo> TableColumns(const std::string& table) override;
    void CreateTable(const std::string& name, const std::vector<ColumnSpec>& columns) override;
    void PrepareNewDatabase() override;

    void BeginTransaction(bool forWriting) override;
    void BeginSingleRead() override;
    void CommitTransaction() override;
    void RollbackTransaction() override;
    bool TransactionLost() const override;
    std::uint64_t RollbackCount() const override { return m_rollbacks; }
    bool InTransaction() const override { return !m_transactions.empty(); }

    // For the statements of this connection.
    PGconn* Handle() const { return m_handle; }
    // A prepared statement's run, as libpq takes it.
    struct PreparedRun {
        const char* name;
        int count;
        const char* const* values;
        const int* lengths;
        const int* formats;
    };
    // The result of `run`, sent with what is pending in one exchange. Null when the statement
    // must be prepared again and run again: another program changed the tables it was
    // prepared on, and it was not run.
    PGresult* RunPrepared(const PreparedRun& run);
    // Sends what is pending and reads every answer owed: due before anything else is sent.
    void Flush();
    void CountChanges(long rows);
    // What statements are carried over to the server's dialect with (see PgSql.h).
    const PgSchema& Schema();
    // Whether Schema() holds every one of `tables`; when not, it is read again when next asked.
    bool SchemaHolds(const std::vector<std::string>& tables);
    void Deallocate(const std::string& statementName);

protected:
    std::unique_ptr<Statement> NewStatement(std::string_view sql) override;
    std::string ReadIntegerKeyColumn(const std::string& table) override;

private:
    using Answer = std::unique_ptr<PGresult, decltype(&PQclear)>;

    // Commands whose answers nobody waits for (a transaction's begin, savepoints and their
    // release) go to the server with whatever is sent next, in one pipeline: a round trip each
    // saved. Their failures are told by the exchange they went with.
    void SendPending();
    // Sends the pending commands and `run`, reads the answers owed from before, then those of
    // what was sent, in order; throws the first failure among the pending commands (the first
    // `beginCommands` of them an outermost begin, see CheckPendingAnswers).
    std::vector<Answer> Exchange(const PreparedRun* run, std::size_t beginCommands);
    // Throws the first failure among the first `count` answers; a transaction whose begin
    // failed is ended at once, as nothing of it is kept.
    void CheckPendingAnswers(const std::vector<Answer>& answers, std::size_t count,
                             std::size_t beginCommands);
    // Sends the pending commands, the end of a transaction among them, without waiting for
    // the answers; the next exchange reads them.
    void SendWithoutWaiting();
    void ReadAnswersOwed();
    void SkipAnswersOwed();
    Answer NextAnswer();
    void ReadThroughSync();
    // Runs `sql` (several statements may be given) without parameters, in one round trip.
    void Command(const std::string& sql);
    void NoteSchemaSignature(const std::string& signature);
    // A single read ended on the server, and something more is sent within it: a read
    // transaction of its own begins, to go to the server with it.
    void BeginAgainIfReadEnded();
    void BeginOutermost(bool forWriting);
    // Ends the outermost transaction here when nothing of it is on the server (never sent, or
    // a single read the server ended); false when the server holds it.
    bool ForgetUnsentOutermost();

    PGconn* m_handle = nullptr;
    PgSchema m_schema;
    std::optional<std::uint64_t> m_schemaRead;  // at this count of schema changes
    PgWatchedTables m_watchedTables;
    std::string m_schemaSignature = "{}";  // of the watched tables, as last seen
    bool m_closing = false;
    int m_busyTimeout = 30000;
    int m_lastChanges = 0;
    std::int64_t m_totalChanges = 0;
    std::uint64_t m_statementsMade = 0;
    std::vector<std::string> m_pending;  // see SendPending
    std::size_t m_beginCommands = 0;     // of m_pending: the outermost begin, signature last
    int m_exchangesUnanswered = 0;       // sent without waiting, their answers not yet read
    struct TransactionStart {
        std::int64_t rowChanges;
        std::uint64_t schemaChanges;
        bool forWriting;
        // Begun right after the enclosing one set its savepoint: undone to that one, which
        // nothing ran after before this began.
        bool sharesSavepoint = false;
    };
    std::vector<TransactionStart> m_transactions;  // outermost first
    std::uint64_t m_rollbacks = 0;
    std::uint64_t m_outermostTransactions = 0;
    bool m_singleRead = false;      // the open outermost transaction ends with its first exchange
    bool m_readEndedEarly = false;  // it has: the server holds nothing of it
};

}  // namespace vaultry::dao
