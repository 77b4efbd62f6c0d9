#pragma once
// Jet's text semantics on an SQLite connection: the collation that every text column of a
// library is declared with, and a LIKE with Jet's wildcards. Both ignore case through the same
// folding as CString::CompareNoCase.

#include <sqlite3.h>

#include <string_view>

namespace vaultry::dao {

// The collation name text columns are created with. Tools that do not register it refuse to
// touch those columns, which is safer than sorting them in another order than their indexes.
inline constexpr const char* kJetCollation = "JETNOCASE";

// Registers the collation and the LIKE function on `db`; returns an SQLite result code.
int RegisterJetText(sqlite3* db);

// Jet's LIKE, as JetPattern reads it.
bool JetLike(std::string_view pattern, std::string_view text);

}  // namespace vaultry::dao
