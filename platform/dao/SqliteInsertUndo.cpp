#include "platform/dao/SqliteInsertUndo.h"

#include <cctype>

#include "platform/dao/JetSql.h"
#include "platform/dao/SqliteStatement.h"

namespace vaultry::dao {
namespace {

// Reads the few shapes of statement text UndoableTable accepts, left to right.
class InsertScanner {
public:
    explicit InsertScanner(std::string_view sql) : m_sql(sql) {}

    bool Word(std::string_view word) {
        SkipBlanks();
        if (m_sql.size() - m_at < word.size()) {
            return false;
        }
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (std::toupper(static_cast<unsigned char>(m_sql[m_at + i])) != word[i]) {
                return false;
            }
        }
        m_at += word.size();
        return m_at == m_sql.size() || !IsNameChar(m_sql[m_at]);
    }

    // A bare or double-quoted name, unquoted; empty when there is none.
    std::string Name() {
        SkipBlanks();
        std::string name;
        if (m_at < m_sql.size() && m_sql[m_at] == '"') {
            for (++m_at; m_at < m_sql.size(); ++m_at) {
                if (m_sql[m_at] == '"' && (m_at + 1 == m_sql.size() || m_sql[m_at + 1] != '"')) {
                    ++m_at;
                    return name;
                }
                m_at += m_sql[m_at] == '"' ? 1 : 0;
                name.push_back(m_sql[m_at]);
            }
            return {};
        }
        while (m_at < m_sql.size() && IsNameChar(m_sql[m_at])) {
            name.push_back(m_sql[m_at++]);
        }
        return name;
    }

    // A list in parentheses holding no parentheses: no sub-query, no function, one row.
    bool FlatList() {
        SkipBlanks();
        if (m_at == m_sql.size() || m_sql[m_at] != '(') {
            return false;
        }
        const std::size_t end = m_sql.find_first_of("()", m_at + 1);
        if (end == std::string_view::npos || m_sql[end] != ')') {
            return false;
        }
        m_at = end + 1;
        return true;
    }

    bool AtEnd() const {
        return m_sql.find_first_not_of(" \t\r\n;", m_at) == std::string_view::npos;
    }

    // Nothing in parentheses from here on: no sub-query, no function.
    bool NoListAfter() const { return m_sql.find_first_of("()", m_at) == std::string_view::npos; }

private:
    static bool IsNameChar(char ch) {
        return std::isalnum(static_cast<unsigned char>(ch)) != 0 || ch == '_';
    }
    void SkipBlanks() {
        while (m_at < m_sql.size() && std::isspace(static_cast<unsigned char>(m_sql[m_at])) != 0) {
            ++m_at;
        }
    }

    std::string_view m_sql;
    std::size_t m_at = 0;
};

bool ContainsIgnoringCase(std::string_view text, std::string_view upperWord) {
    for (std::size_t i = 0; i + upperWord.size() <= text.size(); ++i) {
        std::size_t matched = 0;
        while (matched < upperWord.size() &&
               std::toupper(static_cast<unsigned char>(text[i + matched])) == upperWord[matched]) {
            ++matched;
        }
        if (matched == upperWord.size()) {
            return true;
        }
    }
    return false;
}

// A statement of the connection's own, run to its end; its first row's columns are read by
// `read` before it is finalised.
template <typename Read>
void RunOnce(sqlite3* db, const std::string& sql, const std::string& parameter, Read read) {
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
    if (rc == SQLITE_OK && !parameter.empty()) {
        rc = sqlite3_bind_text(statement, 1, parameter.c_str(), -1, SQLITE_TRANSIENT);
    }
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(statement);
        if (rc == SQLITE_ROW) {
            read(statement);
            rc = SQLITE_DONE;
        }
    }
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE) {
        ThrowSqliteError(db, rc);
    }
}

}  // namespace

SqliteInsertUndo::SqliteInsertUndo(sqlite3* db) : m_db(db) {
    sqlite3_update_hook(db, &SqliteInsertUndo::OnChange, this);
}

// The hook goes with the connection, which is closed before this is destroyed.
SqliteInsertUndo::~SqliteInsertUndo() = default;

std::string SqliteInsertUndo::UndoableTable(std::string_view sql) const {
    InsertScanner scanner(sql);
    if (!scanner.Word("INSERT") || !scanner.Word("INTO")) {
        return {};
    }
    std::string table = scanner.Name();
    if (table.empty() || !scanner.FlatList() || !scanner.Word("VALUES") || !scanner.FlatList()) {
        return {};
    }
    // An upsert may change the row it clashes with instead of adding one. That change goes
    // unrecorded, and Complete then says so.
    if (!scanner.AtEnd() && !(scanner.Word("ON") && scanner.Word("CONFLICT") &&
                              scanner.FlatList() && scanner.Word("DO") && scanner.NoListAfter())) {
        return {};
    }
    // A trigger would change more than the row; a conflict clause of the table (REPLACE) may
    // delete others; a table without rowid, or a virtual one, has no rowid to find the row by.
    bool plain = false;
    RunOnce(m_db,
            "SELECT (SELECT sql FROM sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE),"
            " (SELECT count(*) FROM sqlite_master WHERE type='trigger' AND tbl_name=?1"
            " COLLATE NOCASE)",
            table, [&plain](sqlite3_stmt* row) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(row, 0));
                const std::string_view definition = text ? text : "";
                plain = !definition.empty() && sqlite3_column_int64(row, 1) == 0 &&
                        !ContainsIgnoringCase(definition, "VIRTUAL") &&
                        !ContainsIgnoringCase(definition, "WITHOUT") &&
                        !ContainsIgnoringCase(definition, "CONFLICT");
            });
    return plain ? table : std::string();
}

SqliteInsertUndo::Mark SqliteInsertUndo::Now() const {
    return {m_rows.size(), m_accounted, sqlite3_total_changes64(m_db)};
}

bool SqliteInsertUndo::Complete(const Mark& since) const {
    return sqlite3_total_changes64(m_db) - since.changes ==
           static_cast<std::int64_t>(m_accounted - since.accounted);
}

void SqliteInsertUndo::Undo(const Mark& since) {
    for (std::size_t row = m_rows.size(); row > since.rows; --row) {
        DeleteRow(m_rows[row - 1]);
    }
}

void SqliteInsertUndo::ForgetSince(const Mark& since) {
    if (since.rows < m_rows.size()) {
        m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(since.rows), m_rows.end());
    }
}

void SqliteInsertUndo::DeleteRow(const AddedRow& row) {
    RunOnce(
        m_db,
        "DELETE FROM " + QuoteIdentifier(row.table) + " WHERE rowid=" + std::to_string(row.rowid),
        {}, [](sqlite3_stmt*) {});
    m_accounted += static_cast<std::uint64_t>(sqlite3_changes(m_db));
}

void SqliteInsertUndo::OnChange(void* self, int operation, const char* database, const char* table,
                                sqlite3_int64 rowid) {
    auto& undo = *static_cast<SqliteInsertUndo*>(self);
    const std::string* expected = undo.m_expected;
    undo.m_expected = nullptr;
    // Anything else is left out of the record, and Complete then says so.
    if (expected != nullptr && operation == SQLITE_INSERT &&
        sqlite3_stricmp(database, "main") == 0 && sqlite3_stricmp(table, expected->c_str()) == 0) {
        undo.m_rows.push_back({table, rowid});
        ++undo.m_accounted;
    }
}

}  // namespace vaultry::dao
