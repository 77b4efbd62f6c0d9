#include "platform/dao/PgConnection.h"

#include <map>

#include "platform/dao/CDaoException.h"
#include "platform/dao/PgStatement.h"
#include "platform/dao/SqlState.h"

namespace vaultry::dao {
namespace {

void IgnoreNotice(void*, const char*) {}

// Changes with every table of the connection's schema made, dropped or given columns.
constexpr const char* kSchemaSignature =
    "SELECT md5(coalesce(string_agg(oid::text || ':' || relnatts, ',' ORDER BY oid), '')) "
    "FROM pg_class WHERE relnamespace = current_schema()::regnamespace AND relkind = 'r'";

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
        if (readOnly) {
            Command("SET default_transaction_read_only = on");
        }
        SetBusyTimeout(m_busyTimeout);
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
    if (!m_closing && PQtransactionStatus(m_handle) != PQTRANS_INERROR) {
        PQclear(PQexec(m_handle, ("DEALLOCATE " + statementName).c_str()));
    }
}

void PgConnection::Command(const std::string& sql) {
    CommandValue(sql);
}

std::string PgConnection::CommandValue(const std::string& sql) {
    PGresult* result = PQexec(m_handle, sql.c_str());
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        ThrowPostgresError(m_handle, result);
    }
    std::string value = PQntuples(result) > 0 ? PQgetvalue(result, 0, 0) : "";
    PQclear(result);
    return value;
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
    if (m_schemaRead == SchemaChangeCount()) {
        return m_schema;
    }
    PGresult* result =
        PQexec(m_handle,
               "SELECT lower(c.relname), lower(a.attname), a.atttypid = 'text'::regtype, "
               "a.attidentity = 'a' FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid "
               "WHERE c.relnamespace = current_schema()::regnamespace AND c.relkind = 'r' AND "
               "a.attnum > 0 AND NOT a.attisdropped ORDER BY c.relname, a.attnum");
    if (PQresultStatus(result) != PGRES_TUPLES_OK) {
        ThrowPostgresError(m_handle, result);
    }
    m_schema = {};
    std::map<std::string, std::vector<std::string>> columns;
    std::set<std::string> hidden;
    for (int row = 0; row < PQntuples(result); ++row) {
        const std::string table = PQgetvalue(result, row, 0);
        const std::string column = PQgetvalue(result, row, 1);
        if (*PQgetvalue(result, row, 2) == 't') {
            m_schema.textColumns.insert(column);
        }
        if (*PQgetvalue(result, row, 3) == 't') {
            hidden.insert(table);  // only the hidden row id is always generated
        } else {
            columns[table].push_back(column);
        }
    }
    PQclear(result);
    for (const std::string& table : hidden) {
        m_schema.visibleColumns[table] = std::move(columns[table]);
    }
    m_schemaRead = SchemaChangeCount();
    return m_schema;
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
    return !m_transactions.empty() &&
           (PQstatus(m_handle) != CONNECTION_OK || PQtransactionStatus(m_handle) == PQTRANS_IDLE);
}

void PgConnection::BeginTransaction(bool forWriting) {
    if (TransactionLost()) {
        throw CDaoException(PackSqlState("08006"), kPostgresSource,
                            "The transaction ended with the connection to the server.");
    }
    if (!m_transactions.empty()) {
        Command("SAVEPOINT vaultry_nested");
    } else {
        // Read committed under the write lock: every statement sees what other writers
        // committed before the lock was taken, and no other writer changes anything after.
        const std::string begin =
            std::string(forWriting ? "BEGIN ISOLATION LEVEL READ COMMITTED; "
                                     "SELECT pg_advisory_xact_lock(hashtext(current_schema())); "
                                   : "BEGIN ISOLATION LEVEL REPEATABLE READ; ") +
            kSchemaSignature;
        try {
            NoteSchemaSignature(CommandValue(begin));
        } catch (...) {
            PQclear(PQexec(m_handle, "ROLLBACK"));  // the lock was not had: nothing to keep
            throw;
        }
        ++m_outermostTransactions;
    }
    m_transactions.push_back({m_totalChanges, SchemaChangeCount()});
}

void PgConnection::CommitTransaction() {
    if (TransactionLost()) {
        throw CDaoException(PackSqlState("08006"), kPostgresSource,
                            "The transaction ended with the connection to the server.");
    }
    // The server answers COMMIT of a failed transaction by rolling it back, without an error.
    if (PQtransactionStatus(m_handle) == PQTRANS_INERROR) {
        ThrowAborted();
    }
    Command(m_transactions.size() == 1 ? "COMMIT" : "RELEASE vaultry_nested");
    m_transactions.pop_back();
}

void PgConnection::RollbackTransaction() {
    const TransactionStart start = m_transactions.back();
    const std::size_t depth = m_transactions.size();
    m_transactions.pop_back();
    if (m_totalChanges != start.rowChanges || SchemaChangeCount() != start.schemaChanges) {
        ForgetSchema();  // the rollback may undo a schema change
        ++m_rollbacks;
    }
    if (PQstatus(m_handle) != CONNECTION_OK || PQtransactionStatus(m_handle) == PQTRANS_IDLE) {
        return;  // nothing left to undo
    }
    Command(depth == 1 ? "ROLLBACK" : "ROLLBACK TO vaultry_nested; RELEASE vaultry_nested");
}

}  // namespace vaultry::dao
