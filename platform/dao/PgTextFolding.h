#pragma once
// Jet's text semantics on a PostgreSQL server. Texts compare as CString::CompareNoCase compares
// them: code point by code point after simple case folding. The server has no such folding of
// its own (lower() maps differently for a few letters, and follows the database's locale), so
// each library carries a function that folds exactly as this program does, made from the same
// tables; folded texts in byte order ("C" collation) sort as CompareFolded sorts.

#include <string>

namespace vaultry::dao {

inline constexpr const char* kTextFoldingFunction = "jet_fold";

// The statement that makes the function in the connection's schema.
std::string PgTextFoldingFunction();

}  // namespace vaultry::dao
