#pragma once
// Jet SQL as the record sets write it, carried over to SQLite's dialect, and the parts of a
// SELECT statement that a record set needs to move through its rows.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/afx/COleVariant.h"

namespace vaultry::dao {

// Rewrites the lexical forms that differ: "text" literals become 'text', [name] becomes
// "name". Everything else (operators, IN(...), LIKE with * and ?, Max(...) AS ...) means the
// same in both once the connection's LIKE and collation are Jet's.
std::string TranslateJetSql(std::string_view jet);

struct OrderTerm {
    std::string expression;
    bool descending = false;
    bool operator==(const OrderTerm&) const = default;
};

// The clauses of a translated SELECT. `table` is set only when the statement reads plain rows
// of one table (no join, grouping, distinct, limit, union or computed column): only such a
// statement can be walked by row key and updated.
struct SelectStatement {
    std::string selectList;
    std::string from;
    std::string where;
    std::string tail;  // GROUP BY / HAVING / LIMIT and the like, kept as written
    std::vector<OrderTerm> orderBy;
    std::optional<std::string> table;
};

// Nullopt when `sql` is not a SELECT statement.
std::optional<SelectStatement> ParseSelect(std::string_view sql);

// ParseSelect(TranslateJetSql(jetSql)), remembered: record sets are opened and requeried with
// the same few statements over and over.
std::optional<SelectStatement> ParseJetSelect(const std::string& jetSql);

// A condition with its literal values taken out as parameters, so that conditions differing
// only in their values share one prepared statement.
struct ParameterizedSql {
    std::string sql;                  // with a ? for each literal
    std::vector<COleVariant> values;  // in order
};

// Replaces the string and number literals of `condition` (SQLite dialect) with parameters.
// Meant for WHERE conditions only: in ORDER BY a number names a column.
ParameterizedSql Parameterize(std::string_view condition);

// A row statement (INSERT, UPDATE, DELETE; SQLite dialect) with its literals as parameters, so
// that statements differing only in their values share one prepared statement. Nullopt for any
// other statement (a definition takes no parameters) and for one with ORDER BY or LIMIT.
std::optional<ParameterizedSql> ParameterizeRowStatement(std::string_view sql);

// `name` as a double-quoted SQLite identifier.
std::string QuoteIdentifier(std::string_view name);

// "a, b DESC" as terms; text to put after ORDER BY for the reverse is built by the caller.
std::vector<OrderTerm> ParseOrderBy(std::string_view orderBy);

}  // namespace vaultry::dao
