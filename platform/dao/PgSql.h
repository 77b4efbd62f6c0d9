#pragma once
// The SQL this layer writes for SQLite, carried over to PostgreSQL's dialect:
// - parameters are numbered;
// - quoted names are folded to lower case, as the server folds unquoted ones (library tables
//   are made with lower-case names, so that a name written either way finds them, as in Jet);
// - text ignores case as Jet's does: in conditions, index definitions and ORDER BY, every text
//   column, and each value it is compared with, is folded by the library's folding function
//   (PgTextFolding.h), and LIKE becomes a match of a regular expression against the folded
//   text, its pattern bound as one (JetPattern::ToRegex);
// - nulls sort first, as in SQLite (a row id, never null, is left to sort as its index does);
// - an index ends with the row id, as SQLite's do: rows of equal keys come in row order, and a
//   walk of them needs no sort;
// - "*" and "t.*" in a select list stand for the visible columns of a table with a hidden row id
//   (see PgCatalog.cpp);
// - a parameter after a unary minus is read as a number.

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vaultry::dao {

struct PgSql {
    enum class Parameter { kPlain, kLikePattern };
    std::string sql;
    std::vector<Parameter> parameters;  // in order: how each is bound
    std::vector<std::string> tables;    // named after FROM, JOIN, INTO or UPDATE, in lower case
};

// What the carrying over needs to know of the schema; names in lower case.
struct PgSchema {
    std::set<std::string> textColumns;
    // Of each table with a hidden row id: its other columns, in order.
    std::map<std::string, std::vector<std::string>> visibleColumns;
    std::set<std::string> tables;
    // Of each table: the column that numbers its rows (its integer key or hidden row id).
    std::map<std::string, std::string> rowIds;
};

PgSql ToPostgresSql(std::string_view sqliteSql, const PgSchema& schema);

}  // namespace vaultry::dao
