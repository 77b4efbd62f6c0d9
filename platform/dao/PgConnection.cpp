#include "platform/dao/PgConnection.h"

#include <cstring>
#include <map>
#include <utility>

#include "platform/dao/CDaoException.h"
#include "platform/dao/PgStatement.h"
#include "platform/dao/SqlState.h"

namespace vaultry::dao {
namespace {

void IgnoreNotice(void*, const char*) {}

// Changes when a table this connection has seen in its schema is dropped or made anew: their
// oids, read with every transaction's begin, in the order of $1 (their names). They come from
// the server's cache of its catalog, so that no index is scanned for them: each index scan
// takes the server some 27 kB, and past some 128 kB a transaction's memory goes back to the
// system at its end and is taken again at the next, which costs a load half its time. (For the
// same reason a load keeps to two scans: see KeysetCursor::Restart.) A table another program made
// since is read with the first statement that names it (see PgStatement::Prepare); a column added
// to a table by hand is not noticed, and this program never adds one to a table it made.
constexpr const char* kSchemaSignature =
    "SELECT ARRAY(SELECT to_regclass(quote_ident(current_schema()) || '.' || quote_ident(t))::oid "
    "FROM unnest($1::text[]) AS t)";
constexpr const char* kSignatureStatement = "vaultry_signature";

constexpr const char* kSavepoint = "SAVEPOINT vaultry_nested";
constexpr const char* kRelease = "RELEASE vaultry_nested";

bool Succeeded(const PGresult* result) {
    const ExecStatusType status = PQresultStatus(result);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

[[noreturn]] void ThrowAborted() {
    throw CDaoException(PackSqlState("25P02"), kPostgresSource,
                        "current transaction is aborted, commands ignored until end of "
                        "transaction block");
}

}  // namespace

PgConnection::PgConnection(const std::string& connectionString, bool readOnly) {
    m_handle = PQconnectdb(connectionString.c_str());
    if (PQstatus(m_handle) != CONNECTION_OK) {
        CDaoException error = PostgresError(m_handle, nullptr);
        PQfinish(m_handle);
        throw error;
    }
    PQsetNoticeProcessor(m_handle, IgnoreNotice, nullptr);
    try {
        PQsetClientEncoding(m_handle, "UTF8");
        Command(std::string(readOnly ? "SET default_transaction_read_only = on; " : "") +
                "SET lock_timeout = " + std::to_string(m_busyTimeout));
        PGresult* prepared = PQprepare(m_handle, kSignatureStatement, kSchemaSignature, 0, nullptr);
        if (PQresultStatus(prepared) != PGRES_COMMAND_OK) {
            ThrowPostgresError(m_handle, prepared);
        }
        PQclear(prepared);
    } catch (...) {
        PQfinish(m_handle);
        throw;
    }
}

PgConnection::~PgConnection() {
    m_closing = true;  // the server lets go of prepared statements with the session
    ForgetStatements();
    PQfinish(m_handle);
}

std::unique_ptr<Statement> PgConnection::NewStatement(std::string_view sql) {
    return std::make_unique<PgStatement>(*this, "v" + std::to_string(++m_statementsMade), sql);
}

void PgConnection::Deallocate(const std::string& statementName) {
    if (m_closing) {
        return;
    }
    ReadAnswersOwed();
    if (PQtransactionStatus(m_handle) != PQTRANS_INERROR) {
        PQclear(PQexec(m_handle, ("DEALLOCATE " + statementName).c_str()));
    }
}

void PgConnection::SendPending() {
    if (PQpipelineStatus(m_handle) == PQ_PIPELINE_OFF && PQenterPipelineMode(m_handle) == 0) {
        throw PostgresError(m_handle, nullptr);
    }
    const char* const tables = m_watchedTables.Names().c_str();
    for (const std::string& command : m_pending) {
        const int sent = command == kSchemaSignature
                             ? PQsendQueryPrepared(m_handle, kSignatureStatement, 1, &tables,
                                                   nullptr, nullptr, 0)
                             : PQsendQueryParams(m_handle, command.c_str(), 0, nullptr, nullptr,
                                                 nullptr, nullptr, 0);
        if (sent == 0) {
            throw PostgresError(m_handle, nullptr);
        }
    }
    m_pending.clear();
}

PgConnection::Answer PgConnection::NextAnswer() {
    Answer answer(PQgetResult(m_handle), &PQclear);
    if (answer == nullptr) {  // the connection failed: its message stands for the answer
        return Answer(PQmakeEmptyPGresult(m_handle, PGRES_FATAL_ERROR), &PQclear);
    }
    while (PGresult* rest = PQgetResult(m_handle)) {
        PQclear(rest);
    }
    return answer;
}

void PgConnection::ReadThroughSync() {
    for (int nothing = 0; nothing < 2;) {
        PGresult* result = PQgetResult(m_handle);
        if (result == nullptr) {
            ++nothing;  // one separates two commands' answers; two in a row: the link is gone
            continue;
        }
        nothing = 0;
        const bool sync = PQresultStatus(result) == PGRES_PIPELINE_SYNC;
        PQclear(result);
        if (sync) {
            return;
        }
    }
}

// Only ends of transactions that changed nothing go unanswered: nothing to learn from them.
void PgConnection::SkipAnswersOwed() {
    for (; m_exchangesUnanswered > 0; --m_exchangesUnanswered) {
        ReadThroughSync();
    }
}

void PgConnection::ReadAnswersOwed() {
    if (m_exchangesUnanswered > 0) {
        SkipAnswersOwed();
        PQexitPipelineMode(m_handle);
    }
}

std::vector<PgConnection::Answer> PgConnection::Exchange(const PreparedRun* run,
                                                         std::size_t beginCommands) {
    const std::size_t commands = m_pending.size();
    SendPending();
    if (run != nullptr && PQsendQueryPrepared(m_handle, run->name, run->count, run->values,
                                              run->lengths, run->formats, 0) == 0) {
        throw PostgresError(m_handle, nullptr);
    }
    if (PQpipelineSync(m_handle) == 0) {
        throw PostgresError(m_handle, nullptr);
    }
    SkipAnswersOwed();
    std::vector<Answer> answers;
    for (std::size_t i = 0; i < commands + (run ? 1 : 0); ++i) {
        answers.push_back(NextAnswer());
    }
    ReadThroughSync();
    PQexitPipelineMode(m_handle);
    CheckPendingAnswers(answers, commands, beginCommands);
    if (beginCommands > 0 && m_singleRead) {
        m_readEndedEarly = true;  // the server ended the read with the pipeline its begin went in
    }
    return answers;
}

void PgConnection::CheckPendingAnswers(const std::vector<Answer>& answers, std::size_t count,
                                       std::size_t beginCommands) {
    for (std::size_t i = 0; i < count; ++i) {
        if (!Succeeded(answers[i].get())) {
            CDaoException error = PostgresError(m_handle, answers[i].get());
            if (i < beginCommands) {
                PQclear(PQexec(m_handle, "ROLLBACK"));  // the lock was not had: nothing to keep
            }
            throw error;
        }
    }
}

void PgConnection::SendWithoutWaiting() {
    SendPending();
    if (PQpipelineSync(m_handle) == 0) {
        throw PostgresError(m_handle, nullptr);
    }
    ++m_exchangesUnanswered;
}

void PgConnection::Flush() {
    if (!m_pending.empty()) {
        BeginAgainIfReadEnded();
    }
    if (m_pending.empty()) {
        ReadAnswersOwed();
        return;
    }
    const std::size_t begin = std::exchange(m_beginCommands, 0);
    const std::vector<Answer> answers = Exchange(nullptr, begin);
    if (begin > 0) {
        NoteSchemaSignature(PQgetvalue(answers[begin - 1].get(), 0, 0));
    }
}

PGresult* PgConnection::RunPrepared(const PreparedRun& run) {
    BeginAgainIfReadEnded();
    if (m_pending.empty() && m_exchangesUnanswered == 0) {
        return PQexecPrepared(m_handle, run.name, run.count, run.values, run.lengths, run.formats,
                              0);
    }
    const std::size_t begin = std::exchange(m_beginCommands, 0);
    std::vector<std::string> sent = begin > 0 ? m_pending : std::vector<std::string>();
    std::vector<Answer> answers = Exchange(&run, begin);
    if (begin > 0) {
        const std::string signature = PQgetvalue(answers[begin - 1].get(), 0, 0);
        if (signature != m_schemaSignature) {
            // The statement went on what was known of the tables before: the transaction
            // begins again, and the statement is prepared again before it runs.
            if (!std::exchange(m_readEndedEarly, false)) {
                PQclear(PQexec(m_handle, "ROLLBACK"));
            }
            NoteSchemaSignature(signature);
            m_pending = std::move(sent);
            m_beginCommands = begin;
            return nullptr;
        }
    }
    return answers.back().release();
}

void PgConnection::BeginAgainIfReadEnded() {
    if (!m_readEndedEarly) {
        return;
    }
    m_readEndedEarly = false;
    m_singleRead = false;
    std::vector<std::string> nested = std::move(m_pending);  // savepoints begun since
    BeginOutermost(false);
    m_pending.insert(m_pending.end(), nested.begin(), nested.end());
}

void PgConnection::Command(const std::string& sql) {
    Flush();
    PGresult* result = PQexec(m_handle, sql.c_str());
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        ThrowPostgresError(m_handle, result);
    }
    PQclear(result);
}

// Another program may have made, dropped or changed tables since this one last looked (the
// category cache is made anew whenever the tree grows deeper): what was learnt of them, and
// the statements prepared on them, are then let go.
void PgConnection::NoteSchemaSignature(const std::string& signature) {
    if (signature != m_schemaSignature) {
        m_schemaSignature = signature;
        m_schemaRead.reset();
        ForgetSchema();
        ForgetIdleStatements();
    }
}

void PgConnection::CountChanges(long rows) {
    m_lastChanges = static_cast<int>(rows);
    m_totalChanges += rows;
}

const PgSchema& PgConnection::Schema() {
    Flush();  // a transaction's begin learns whether the tables changed
    if (m_schemaRead == SchemaChangeCount()) {
        return m_schema;
    }
    PGresult* result =
        PQexec(m_handle,
               "SELECT lower(c.relname), lower(a.attname), a.atttypid = 'text'::regtype, "
               "a.attidentity, c.relname, c.oid FROM pg_attribute a JOIN pg_class c ON "
               "c.oid = a.attrelid "
               "WHERE c.relnamespace = current_schema()::regnamespace AND c.relkind = 'r' AND "
               "a.attnum > 0 AND NOT a.attisdropped ORDER BY c.relname, a.attnum");
    if (PQresultStatus(result) != PGRES_TUPLES_OK) {
        ThrowPostgresError(m_handle, result);
    }
    m_schema = {};
    std::map<std::string, std::vector<std::string>> columns;
    std::set<std::string> hidden;
    std::map<std::string, std::string> oids;  // by the table's name as made
    for (int row = 0; row < PQntuples(result); ++row) {
        const std::string table = PQgetvalue(result, row, 0);
        const std::string column = PQgetvalue(result, row, 1);
        m_schema.tables.insert(table);
        oids.emplace(PQgetvalue(result, row, 4), PQgetvalue(result, row, 5));
        if (*PQgetvalue(result, row, 2) == 't') {
            m_schema.textColumns.insert(column);
        }
        const char identity = *PQgetvalue(result, row, 3);
        if (identity != '\0') {
            m_schema.rowIds[table] = column;
        }
        if (identity == 'a') {
            hidden.insert(table);  // only the hidden row id is always generated
        } else {
            columns[table].push_back(column);
        }
    }
    PQclear(result);
    for (const std::string& table : hidden) {
        m_schema.visibleColumns[table] = std::move(columns[table]);
    }
    m_schemaSignature = m_watchedTables.Watch(oids);
    m_schemaRead = SchemaChangeCount();
    return m_schema;
}

bool PgConnection::SchemaHolds(const std::vector<std::string>& tables) {
    for (const std::string& table : tables) {
        if (m_schema.tables.count(table) == 0) {
            m_schemaRead.reset();
            return false;
        }
    }
    return true;
}

std::int64_t PgConnection::LastInsertRowid() {
    auto statement = Prepare("SELECT lastval()");
    return statement->Step() ? statement->ColumnInt64(0) : 0;
}

// The identity column that stands for the row id: the table's auto-increment field, or the
// hidden one every table without such a field is made with.
std::string PgConnection::ReadIntegerKeyColumn(const std::string& table) {
    auto columns = Prepare(
        "SELECT attname FROM pg_attribute WHERE attrelid = to_regclass(lower(?)) AND "
        "attidentity <> '' AND NOT attisdropped");
    columns->Bind(1, COleVariant(CString(table)));
    return columns->Step() ? columns->Column(0).AsText().str() : std::string();
}

std::optional<Connection::ReadStamp> PgConnection::CurrentReadStamp() const {
    if (m_transactions.empty() || TransactionLost()) {
        return std::nullopt;
    }
    return ReadStamp{m_outermostTransactions, m_totalChanges, m_rollbacks, SchemaChangeCount()};
}

void PgConnection::SetBusyTimeout(int milliseconds) {
    Command("SET lock_timeout = " + std::to_string(milliseconds));
    m_busyTimeout = milliseconds;
}

bool PgConnection::TransactionLost() const {
    return !m_transactions.empty() && m_beginCommands == 0 && !m_readEndedEarly &&
           (PQstatus(m_handle) != CONNECTION_OK || PQtransactionStatus(m_handle) == PQTRANS_IDLE);
}

void PgConnection::BeginTransaction(bool forWriting) {
    if (TransactionLost()) {
        throw CDaoException(PackSqlState("08006"), kPostgresSource,
                            "The transaction ended with the connection to the server.");
    }
    bool sharesSavepoint = false;
    if (m_singleRead && m_beginCommands > 0) {
        // Savepoints need a transaction block: the read becomes one before it is sent.
        m_singleRead = false;
        BeginOutermost(false);
        --m_outermostTransactions;  // the same transaction still
    }
    if (!m_transactions.empty()) {
        // Begun before anything ran in the enclosing transaction (a part's store within a
        // list's): one savepoint serves both, a command pair less on the server each time.
        sharesSavepoint = !m_pending.empty() && m_pending.back() == kSavepoint;
        if (!sharesSavepoint) {
            m_pending.emplace_back(kSavepoint);
        }
    } else {
        BeginOutermost(forWriting);
    }
    m_transactions.push_back({m_totalChanges, SchemaChangeCount(), forWriting, sharesSavepoint});
}

void PgConnection::BeginOutermost(bool forWriting) {
    // Read committed under the write lock: every statement sees what other writers committed
    // before the lock was taken, and no other writer changes anything after.
    m_pending = {forWriting ? "BEGIN ISOLATION LEVEL READ COMMITTED"
                            : "BEGIN ISOLATION LEVEL REPEATABLE READ"};
    if (forWriting) {
        m_pending.emplace_back("SELECT pg_advisory_xact_lock(hashtext(current_schema()))");
    }
    m_pending.emplace_back(kSchemaSignature);
    m_beginCommands = m_pending.size();
    ++m_outermostTransactions;
}

// No transaction block: the signature and the first statement go in one pipeline, which the
// server runs as one transaction and ends with the pipeline, as it does a statement sent alone.
// A transaction's begin and end would each be a command more, and the end a message of its
// own that the server wakes for.
void PgConnection::BeginSingleRead() {
    if (!m_transactions.empty()) {
        BeginTransaction(false);
        return;
    }
    m_pending = {kSchemaSignature};
    m_beginCommands = 1;
    ++m_outermostTransactions;
    m_singleRead = true;
    m_transactions.push_back({m_totalChanges, SchemaChangeCount(), false, false});
}

void PgConnection::CommitTransaction() {
    if (TransactionLost()) {
        throw CDaoException(PackSqlState("08006"), kPostgresSource,
                            "The transaction ended with the connection to the server.");
    }
    const TransactionStart start = m_transactions.back();
    if (m_transactions.size() > 1) {
        if (!start.sharesSavepoint) {  // a shared one is the enclosing transaction's to let go
            if (!m_pending.empty() && m_pending.back() == kSavepoint) {
                m_pending.pop_back();  // nothing ran within it
            } else {
                m_pending.emplace_back(kRelease);
            }
        }
        m_transactions.pop_back();
        return;
    }
    if (ForgetUnsentOutermost()) {
        m_transactions.pop_back();
        return;
    }
    m_pending.emplace_back("COMMIT");
    if (!start.forWriting && m_totalChanges == start.rowChanges &&
        SchemaChangeCount() == start.schemaChanges) {
        SendWithoutWaiting();  // a transaction that only read keeps nothing its end could lose
        m_transactions.pop_back();
        return;
    }
    const std::vector<Answer> answers = Exchange(nullptr, 0);
    // The server answers COMMIT of a failed transaction by rolling it back, without an error.
    if (std::strcmp(PQcmdStatus(answers.back().get()), "ROLLBACK") == 0) {
        ThrowAborted();
    }
    m_transactions.pop_back();
}

bool PgConnection::ForgetUnsentOutermost() {
    m_singleRead = false;
    const bool endedEarly = std::exchange(m_readEndedEarly, false);
    if (m_beginCommands == 0 && !endedEarly) {
        return false;
    }
    m_pending.clear();
    m_beginCommands = 0;
    return true;
}

void PgConnection::RollbackTransaction() {
    const TransactionStart start = m_transactions.back();
    const std::size_t depth = m_transactions.size();
    m_transactions.pop_back();
    if (m_totalChanges != start.rowChanges || SchemaChangeCount() != start.schemaChanges) {
        ForgetSchema();  // the rollback may undo a schema change
        ++m_rollbacks;
    }
    if (depth == 1 && ForgetUnsentOutermost()) {
        return;
    }
    if (depth > 1 && !m_pending.empty() && m_pending.back() == kSavepoint) {
        if (!start.sharesSavepoint) {
            m_pending.pop_back();
        }
        return;
    }
    if (PQstatus(m_handle) != CONNECTION_OK || PQtransactionStatus(m_handle) == PQTRANS_IDLE) {
        m_pending.clear();
        return;  // nothing left to undo
    }
    if (depth == 1) {
        m_pending = {"ROLLBACK"};
        SendWithoutWaiting();
    } else {
        // A shared savepoint stays for the enclosing transaction: rolling back keeps it.
        m_pending.emplace_back("ROLLBACK TO vaultry_nested");
        if (!start.sharesSavepoint) {
            m_pending.emplace_back(kRelease);
        }
    }
}

}  // namespace vaultry::dao
