#pragma once
// A statement prepared on a PostgreSQL server. It runs at the first Step after its parameters
// are bound and holds the whole result from then on, so that other statements may run on the
// connection while its rows are walked (one connection runs one statement at a time).

#include <libpq-fe.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dao/CDaoException.h"
#include "platform/dao/PgSql.h"
#include "platform/dao/Statement.h"

namespace vaultry::dao {

class PgConnection;

// The server's error of `result` (or of the connection, when there is no result) as a
// CDaoException carrying its SQLSTATE and message.
CDaoException PostgresError(PGconn* connection, const PGresult* result);
// Throws it, and frees `result`.
[[noreturn]] void ThrowPostgresError(PGconn* connection, PGresult* result);

class PgStatement : public Statement {
public:
    // Prepares `sql` (SQLite dialect, ? for parameters) under `name`, unique on the connection.
    // `connection` is not owned and outlives the statement.
    PgStatement(PgConnection& connection, std::string name, std::string_view sql);
    ~PgStatement() override;
    PgStatement(const PgStatement&) = delete;
    PgStatement& operator=(const PgStatement&) = delete;

    void Bind(int index, const COleVariant& value) override;
    void BindInt64(int index, std::int64_t value) override;
    bool Step() override;
    bool IsReadOnly() const override { return m_readOnly; }
    void Reset() override;

    int ColumnCount() const override { return static_cast<int>(m_columnNames.size()); }
    const char* ColumnName(int column) const override;
    COleVariant Column(int column) const override;
    std::int64_t ColumnInt64(int column) const override;

private:
    // Prepares the statement under its name, on the tables as they are now.
    void Prepare();
    void Run();
    // The result of one run; null when the statement must be prepared again first.
    PGresult* RunOnce();
    void RequireRow() const;

    PgConnection& m_connection;
    std::string m_name;
    std::string m_sql;  // as given, to be carried over again when the tables change
    bool m_readOnly;
    std::vector<Oid> m_parameterTypes;
    std::vector<PgSql::Parameter> m_parameterKinds;
    std::vector<std::optional<std::string>> m_values;  // as text, or bytes for bytea
    std::vector<std::string> m_columnNames;
    std::vector<Oid> m_columnTypes;
    PGresult* m_result = nullptr;
    int m_row = -1;
};

}  // namespace vaultry::dao
