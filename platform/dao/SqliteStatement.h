#pragma once
// A prepared SQLite statement. Errors throw CDaoException with SQLite's extended result code
// and message.

#include <sqlite3.h>

#include <functional>
#include <string_view>
#include <vector>

#include "platform/dao/Statement.h"

namespace vaultry::dao {

[[noreturn]] void ThrowSqliteError(sqlite3* db, int rc);

class SqliteStatement : public Statement {
public:
    // `beforeWriting`, when given, runs before each step of a statement that may write.
    SqliteStatement(sqlite3* db, std::string_view sql, std::function<void()> beforeWriting);
    ~SqliteStatement() override;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    void Bind(int index, const COleVariant& value) override;
    void BindInt64(int index, std::int64_t value) override;
    bool Step() override;
    bool IsReadOnly() const override { return sqlite3_stmt_readonly(m_stmt) != 0; }
    void Reset() override;

    int ColumnCount() const override;
    const char* ColumnName(int column) const override;
    COleVariant Column(int column) const override;
    std::int64_t ColumnInt64(int column) const override;

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
    std::function<void()> m_beforeWriting;  // empty for statements that only read
};

}  // namespace vaultry::dao
