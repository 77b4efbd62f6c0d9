#pragma once
// The raw SQLite side of the benchmarks opens library files as our layer does: with the
// collation their text columns need, the WAL journal and full syncs, so both sides pay the
// same for durability.

#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace vaultry::bench {

// The caller closes the connection with sqlite3_close.
sqlite3* OpenRaw(const std::string& path);
// The measurement table our stores write, indexed by part as ours is, where it is missing.
void CreateMeasurementTable(sqlite3* db);

// Runs statements by their text, each prepared once, as a lean data layer would: the yardstick
// for a sequence of statements an operation must make.
class RawStatements {
public:
    using Bytes = std::vector<unsigned char>;
    using Value = std::variant<std::int64_t, std::string, Bytes>;

    explicit RawStatements(sqlite3* db) : m_db(db) {}
    ~RawStatements();
    RawStatements(const RawStatements&) = delete;
    RawStatements& operator=(const RawStatements&) = delete;

    // Steps `sql` to its end with `values` bound, copying every column of every row out (as a
    // record set copies a row into its fields); returns the first column of the first row.
    // Throws std::runtime_error when SQLite fails, so that no failure is timed as work.
    std::int64_t Run(const std::string& sql, const std::vector<Value>& values = {});
    // The bytes of the last column of the first row of the last Run.
    const std::vector<unsigned char>& LastColumn() const { return m_lastColumn; }

private:
    sqlite3* m_db;
    std::map<std::string, sqlite3_stmt*> m_prepared;
    std::vector<unsigned char> m_bytes;
    std::vector<unsigned char> m_lastColumn;
};

}  // namespace vaultry::bench
