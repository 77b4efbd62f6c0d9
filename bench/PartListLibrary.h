#pragma once
// A user library at the size the part lists must keep up with: its top category holds
// kListParts parts, made once per process by plain SQL from one footprint stored through the
// handler (so that its type row is real).

#include <sqlite3.h>

#include <functional>
#include <string>

#include "bench/AccessFixtures.h"

namespace vaultry::bench {

constexpr int kListParts = 100000;

// Runs `sql` `count` times on the library at `path` in one transaction, `bind` giving the
// values of row i.
void InsertRows(const std::string& path, const char* sql, int count,
                const std::function<void(sqlite3_stmt*, int)>& bind);

// The libraries whose user library's top category holds kListParts parts "R<n>" of owners 0
// to 9, made current.
Libraries& ListLibrary();

}  // namespace vaultry::bench
