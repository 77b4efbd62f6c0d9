#pragma once
// The raw SQLite side of the benchmarks opens library files as our layer does: with the
// collation their text columns need, the WAL journal and full syncs, so both sides pay the
// same for durability.

#include <sqlite3.h>

#include <string>

namespace vaultry::bench {

// The caller closes the connection with sqlite3_close.
sqlite3* OpenRaw(const std::string& path);

}  // namespace vaultry::bench
