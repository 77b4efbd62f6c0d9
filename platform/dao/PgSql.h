#pragma once
// The SQL this layer writes for SQLite, carried over to PostgreSQL's dialect where the two
// differ in form: parameters are numbered, and quoted names are folded to lower case as the
// server folds unquoted ones (library tables are made with lower-case names, so that a name
// written either way finds them, as in Jet).

#include <string>
#include <string_view>

namespace vaultry::dao {

struct PgSql {
    std::string sql;
    int parameterCount = 0;
};

PgSql ToPostgresSql(std::string_view sqliteSql);

}  // namespace vaultry::dao
