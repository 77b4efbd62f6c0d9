#pragma once
// Where a library lives: a file has a path; a library on a PostgreSQL server is named by a
// connection string, "postgresql://[user@][host][:port]/database[?host=/socket/folder&...]"
// (a schema other than "public" is chosen with "options=-csearch_path%3Dschema").

#include <string_view>

namespace vaultry::dao {

inline bool IsServerLocation(std::string_view location) {
    return location.starts_with("postgresql://") || location.starts_with("postgres://");
}

}  // namespace vaultry::dao
