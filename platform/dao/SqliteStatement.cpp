#include "platform/dao/SqliteStatement.h"

#include "platform/dao/CDaoException.h"

namespace vaultry::dao {

void ThrowSqliteError(sqlite3* db, int rc) {
    // The connection's extended code and message describe its last failing call; when the
    // caller reports some other failure, SQLite's generic text for that code is the truthful one.
    // Either code may be an extended one, so the two are compared by their primary part.
    if (db != nullptr && (sqlite3_extended_errcode(db) & 0xFF) == (rc & 0xFF)) {
        throw CDaoException(sqlite3_extended_errcode(db), "SQLite", sqlite3_errmsg(db));
    }
    throw CDaoException(rc, "SQLite", sqlite3_errstr(rc));
}

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql,
                                 std::function<void()> beforeWriting)
    : m_db(db) {
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &m_stmt, &tail);
    if (rc != SQLITE_OK) {
        ThrowSqliteError(db, rc);
    }
    if (m_stmt == nullptr) {
        throw CDaoException(SQLITE_MISUSE, "SQLite", "The statement is empty.");
    }
    // SQLite runs the first statement of a text and leaves the rest: a second statement would
    // be reported done without having run. Jet refuses such a text.
    const std::string_view rest = sql.substr(static_cast<std::size_t>(tail - sql.data()));
    if (rest.find_first_not_of(" \t\r\n;") != std::string_view::npos) {
        sqlite3_finalize(m_stmt);
        throw CDaoException(JET_ERROR_TEXT_AFTER_STATEMENT, "DAO.Database",
                            "Characters found after end of SQL statement.");
    }
    if (!IsReadOnly()) {
        m_beforeWriting = std::move(beforeWriting);
    }
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(m_stmt);
}

void SqliteStatement::Bind(int index, const COleVariant& value) {
    int rc = SQLITE_OK;
    if (value.IsNull()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else if (value.vt == VT_R8) {
        rc = sqlite3_bind_double(m_stmt, index, value.AsDouble());
    } else if (value.IsNumber()) {
        rc = sqlite3_bind_int64(m_stmt, index, value.AsInt64());
    } else if (value.IsText()) {
        const CString text = value.AsText();
        rc = sqlite3_bind_text(m_stmt, index, text.GetString(), text.GetLength(), SQLITE_TRANSIENT);
    } else {
        const auto& bytes = value.AsBytes();
        rc = sqlite3_bind_blob64(m_stmt, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK) {
        ThrowSqliteError(m_db, rc);
    }
}

void SqliteStatement::BindInt64(int index, std::int64_t value) {
    const int rc = sqlite3_bind_int64(m_stmt, index, value);
    if (rc != SQLITE_OK) {
        ThrowSqliteError(m_db, rc);
    }
}

bool SqliteStatement::Step() {
    if (m_beforeWriting) {
        m_beforeWriting();
    }
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    sqlite3_reset(m_stmt);
    ThrowSqliteError(m_db, rc);
}

void SqliteStatement::Reset() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int SqliteStatement::ColumnCount() const {
    return sqlite3_column_count(m_stmt);
}

const char* SqliteStatement::ColumnName(int column) const {
    return sqlite3_column_name(m_stmt, column);
}

COleVariant SqliteStatement::Column(int column) const {
    switch (sqlite3_column_type(m_stmt, column)) {
        case SQLITE_INTEGER:
            return COleVariant(static_cast<std::int64_t>(sqlite3_column_int64(m_stmt, column)));
        case SQLITE_FLOAT:
            return COleVariant(sqlite3_column_double(m_stmt, column));
        case SQLITE_TEXT: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
            return COleVariant(
                CString(std::string_view(text, sqlite3_column_bytes(m_stmt, column))));
        }
        case SQLITE_BLOB: {
            const auto* data = static_cast<const BYTE*>(sqlite3_column_blob(m_stmt, column));
            return COleVariant(
                std::vector<BYTE>(data, data + sqlite3_column_bytes(m_stmt, column)));
        }
        default:
            return COleVariant::Null();
    }
}

std::int64_t SqliteStatement::ColumnInt64(int column) const {
    return sqlite3_column_int64(m_stmt, column);
}

}  // namespace vaultry::dao
