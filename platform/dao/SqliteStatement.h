#pragma once
// A prepared SQLite statement. Errors throw CDaoException with SQLite's extended result code
// and message.

#include <sqlite3.h>

#include <string_view>
#include <vector>

#include "platform/afx/COleVariant.h"

namespace vaultry::dao {

[[noreturn]] void ThrowSqliteError(sqlite3* db, int rc);

class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Parameters count from 1.
    void Bind(int index, const COleVariant& value);
    void BindInt64(int index, std::int64_t value);
    // `values` in order, from parameter `first` on.
    void BindAll(const std::vector<COleVariant>& values, int first = 1);
    // True when a row is ready, false when the statement is done.
    bool Step();
    // Whether running it leaves the file as it was.
    bool IsReadOnly() const { return sqlite3_stmt_readonly(m_stmt) != 0; }
    // Ready to run again, with no parameters bound. Releases the statement's read lock.
    void Reset();

    int ColumnCount() const;
    const char* ColumnName(int column) const;
    COleVariant Column(int column) const;
    std::int64_t ColumnInt64(int column) const;

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

}  // namespace vaultry::dao
