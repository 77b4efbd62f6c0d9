#include "platform/dao/SqliteConnection.h"

#include <sys/stat.h>
#include <sys/vfs.h>

#include <atomic>
#include <iterator>

#include "platform/afx/UnicodeCase.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/JetText.h"

namespace vaultry::dao {
namespace {

// Shared-memory WAL index files do not work across network file systems; FUSE is counted
// among them since sshfs and the like are FUSE.
std::atomic<bool> g_rollbackEverywhere{false};

bool IsLocalFileSystem(const std::string& path) {
    struct statfs info {};
    if (::statfs(path.c_str(), &info) != 0) {
        return false;
    }
    switch (static_cast<unsigned long>(info.f_type)) {
        case 0x6969:      // NFS
        case 0x517B:      // SMB
        case 0xFF534D42:  // CIFS
        case 0xFE534D42:  // SMB2
        case 0x564C:      // NCP
        case 0x73757245:  // Coda
        case 0x5346414F:  // AFS
        case 0x01021997:  // 9P
        case 0x00C36400:  // Ceph
        case 0x0BD00BD0:  // Lustre
        case 0x65735546:  // FUSE
            return false;
        default:
            return true;
    }
}

// A nested transaction that does more than add rows is a savepoint, and SQLite keeps the pages
// a savepoint changes in a statement journal: in one block of memory up to this size, past it
// in a temporary file that then serves every later savepoint of the transaction, written page
// by page (an import is one transaction). One part's changes stay far below it. SQLite takes
// the size only before it initialises, so it is set as the program starts, before any database
// is opened.
constexpr int kStatementJournalInMemory = 1 << 20;
[[maybe_unused]] const int g_statementJournalSet =
    sqlite3_config(SQLITE_CONFIG_STMTJRNL_SPILL, kStatementJournalInMemory);
// Nothing asks SQLite how much memory it holds, and keeping count takes a lock around every
// allocation: a stored part makes some fifty.
[[maybe_unused]] const int g_memoryNotCounted = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);

}  // namespace

SqliteConnection::SqliteConnection(const std::string& path, Mode mode, bool exclusive) {
    struct stat existing {};
    if (mode == Mode::kCreate && ::stat(path.c_str(), &existing) == 0) {
        throw CDaoException(JET_ERROR_DATABASE_EXISTS, "DAO.Workspace", "Database already exists.");
    }
    int flags = SQLITE_OPEN_NOMUTEX;
    flags |= mode == Mode::kReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (mode == Mode::kCreate) {
        flags |= SQLITE_OPEN_CREATE;
    }
    const int rc = sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const int code = m_db ? sqlite3_extended_errcode(m_db) : rc;
        const CString message = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
        sqlite3_close(m_db);
        m_db = nullptr;
        throw CDaoException(code, "SQLite", message + ": " + path.c_str());
    }
    try {
        m_inserts = std::make_unique<SqliteInsertUndo>(m_db);
        Configure(mode, exclusive);
        m_path = path;
        m_journalChosen = mode == Mode::kReadOnly;
    } catch (...) {
        sqlite3_close(m_db);
        throw;
    }
}

SqliteConnection::~SqliteConnection() {
    ForgetStatements();
    sqlite3_close(m_db);
}

void SqliteConnection::Configure(Mode mode, bool exclusive) {
    sqlite3_extended_result_codes(m_db, 1);
    const int rc = RegisterJetText(m_db);
    if (rc != SQLITE_OK) {
        ThrowSqliteError(m_db, rc);
    }
    SetBusyTimeout(m_busyTimeout);
    if (exclusive) {
        Execute("PRAGMA locking_mode=EXCLUSIVE");
    }
    if (mode != Mode::kReadOnly) {
        Execute("PRAGMA synchronous=FULL");
    }
}

// Outside a transaction only: the journal mode cannot change within one. A write transaction
// chooses as it begins, so what it writes was chosen for already.
void SqliteConnection::BeforeWriting() {
    if (!m_journalChosen && sqlite3_get_autocommit(m_db) != 0) {
        m_journalChosen = true;
        ChooseJournalMode();
    }
}

void SqliteConnection::ChooseJournalMode() {
    const bool log = !g_rollbackEverywhere && IsLocalFileSystem(m_path);
    auto statement = Prepare(log ? "PRAGMA journal_mode=WAL" : "PRAGMA journal_mode=DELETE");
    statement->Step();
}

void SqliteConnection::UseRollbackJournalEverywhere(bool rollback) {
    g_rollbackEverywhere = rollback;
}

std::optional<SqliteConnection::ReadStamp> SqliteConnection::CurrentReadStamp() const {
    if (m_transactions.empty() || TransactionLost()) {
        return std::nullopt;
    }
    return ReadStamp{m_outermostTransactions, sqlite3_total_changes64(m_db), m_rollbacks,
                     SchemaChangeCount()};
}

void SqliteConnection::SetBusyTimeout(int milliseconds) {
    m_busyTimeout = milliseconds;
    sqlite3_busy_timeout(m_db, milliseconds);
}

std::unique_ptr<Statement> SqliteConnection::NewStatement(std::string_view sql) {
    return std::make_unique<SqliteStatement>(
        m_db, sql, [this, table = m_inserts->UndoableTable(sql)] { BeforeStatementWrites(table); });
}

void SqliteConnection::BeforeFirstRun(Statement& statement) {
    if (!statement.IsReadOnly()) {
        BeforeWriting();
    }
}

std::string SqliteConnection::ReadIntegerKeyColumn(const std::string& table) {
    auto columns = Prepare("PRAGMA table_info(" + table + ")");
    int keyColumns = 0;
    std::string integerKey;
    while (columns->Step()) {
        if (columns->ColumnInt64(5) > 0) {
            ++keyColumns;
            if (text::CompareFolded(columns->Column(2).AsText().str(), "INTEGER") == 0) {
                integerKey = columns->Column(1).AsText().str();
            }
        }
    }
    return keyColumns == 1 ? integerKey : std::string();
}

// A column keeps the value given for it when the value is of the column's own kind (see
// KeysetCursor); only a trigger could change the row after that.
bool SqliteConnection::ReadInsertsKeepGivenValues(const std::string& table) {
    auto triggers = Prepare(
        "SELECT count(*) FROM sqlite_master WHERE type='trigger' AND tbl_name=? COLLATE NOCASE");
    triggers->Bind(1, COleVariant(CString(table)));
    triggers->Step();
    return triggers->ColumnInt64(0) == 0;
}

// SQLite ends a whole transaction by itself after some errors (a full disk, some I/O errors);
// the nesting depth then no longer matches the file, and what is still to come must not run as
// if it were inside the transaction that is gone.
bool SqliteConnection::TransactionLost() const {
    return !m_transactions.empty() && sqlite3_get_autocommit(m_db) != 0;
}

[[noreturn]] static void ThrowTransactionLost() {
    throw CDaoException(SQLITE_ABORT_ROLLBACK, "SQLite",
                        "The transaction was rolled back by the database after an earlier error.");
}

void SqliteConnection::BeginTransaction(bool forWriting) {
    if (TransactionLost()) {
        ThrowTransactionLost();
    }
    Savepoint savepoint = Savepoint::kPending;
    if (m_transactions.empty()) {
        if (forWriting) {
            BeforeWriting();
        }
        Execute(forWriting ? "BEGIN IMMEDIATE" : "BEGIN DEFERRED");
        ++m_outermostTransactions;
        savepoint = Savepoint::kOutermost;
    }
    m_transactions.push_back(
        {sqlite3_total_changes64(m_db), SchemaChangeCount(), savepoint, m_inserts->Now()});
}

void SqliteConnection::BeforeStatementWrites(const std::string& undoableTable) {
    const bool pending =
        !m_transactions.empty() && m_transactions.back().savepoint == Savepoint::kPending;
    if (pending && !undoableTable.empty() && !TransactionLost()) {
        m_inserts->Expect(&undoableTable);
        return;
    }
    m_inserts->Expect(nullptr);
    SetPendingSavepoints();
}

// Pending transactions are always the innermost ones: setting a savepoint settles them all.
void SqliteConnection::SetPendingSavepoints() {
    if (m_transactions.empty() || m_transactions.back().savepoint != Savepoint::kPending) {
        return;
    }
    if (TransactionLost()) {
        ThrowTransactionLost();  // the write would otherwise run outside any transaction
    }
    auto first = m_transactions.end();
    while (first != m_transactions.begin() && std::prev(first)->savepoint == Savepoint::kPending) {
        --first;
    }
    Execute("SAVEPOINT vaultry_nested");
    for (auto level = first; level != m_transactions.end(); ++level) {
        level->savepoint = level == first ? Savepoint::kOwn : Savepoint::kShared;
        level->insertsComplete = m_inserts->Complete(level->inserts);
    }
}

void SqliteConnection::CommitTransaction() {
    if (TransactionLost()) {
        ThrowTransactionLost();
    }
    switch (m_transactions.back().savepoint) {
        case Savepoint::kOutermost:
            Execute("COMMIT");
            break;
        case Savepoint::kOwn:
            Execute("RELEASE vaultry_nested");
            break;
        case Savepoint::kPending:
        case Savepoint::kShared:
            break;
    }
    const SqliteInsertUndo::Mark added = m_transactions.back().inserts;
    m_transactions.pop_back();
    if (m_transactions.empty() || m_transactions.back().savepoint != Savepoint::kPending) {
        m_inserts->ForgetSince(added);  // what encloses it undoes them
    }
}

void SqliteConnection::RollbackTransaction() {
    const TransactionStart start = m_transactions.back();
    m_transactions.pop_back();
    if (sqlite3_total_changes64(m_db) != start.rowChanges ||
        SchemaChangeCount() != start.schemaChanges) {
        ForgetSchema();  // the rollback may undo a schema change
        ++m_rollbacks;
    }
    if (sqlite3_get_autocommit(m_db) != 0) {
        m_inserts->ForgetSince({});
        return;  // nothing left to undo: SQLite already rolled the transaction back
    }
    switch (start.savepoint) {
        case Savepoint::kOutermost:
            Execute("ROLLBACK");
            m_inserts->ForgetSince(start.inserts);
            return;
        case Savepoint::kOwn:
            Execute("ROLLBACK TO vaultry_nested");
            Execute("RELEASE vaultry_nested");
            break;
        case Savepoint::kShared:
            Execute("ROLLBACK TO vaultry_nested");  // the savepoint stays, for its owner
            break;
        case Savepoint::kPending:
            break;
    }
    UndoInserts(start);
    // A shared savepoint stays, for its owner: rolling back to it restores the rows just
    // deleted, and the owner's undo deletes them again.
    if (start.savepoint != Savepoint::kShared) {
        m_inserts->ForgetSince(start.inserts);
    }
}

// What SQLite would not let be undone any other way is undone with the whole transaction, so
// that no part of a change that failed is ever committed.
void SqliteConnection::UndoInserts(const TransactionStart& start) {
    const bool complete = start.savepoint == Savepoint::kPending
                              ? m_inserts->Complete(start.inserts)
                              : start.insertsComplete;
    try {
        if (!complete) {
            throw CDaoException(SQLITE_ABORT_ROLLBACK, "SQLite",
                                "The transaction was rolled back: a change within it could not "
                                "be undone alone.");
        }
        m_inserts->Undo(start.inserts);
    } catch (const CDaoException&) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        m_inserts->ForgetSince({});
        throw;
    }
}

}  // namespace vaultry::dao
