#pragma once
// PostgreSQL's five-character SQLSTATE codes as the number a CDaoException carries, packed as
// the server packs them (six bits per character), so every code has its own number and the
// text comes back from it.

#include <string>
#include <string_view>

namespace vaultry::dao {

inline constexpr const char* kPostgresSource = "PostgreSQL";

constexpr long PackSqlState(std::string_view state) {
    long code = 0;
    for (std::size_t i = 0; i < 5 && i < state.size(); ++i) {
        code |= static_cast<long>((state[i] - '0') & 0x3F) << (6 * i);
    }
    return code;
}

inline std::string UnpackSqlState(long code) {
    std::string state;
    for (int i = 0; i < 5; ++i) {
        state += static_cast<char>(((code >> (6 * i)) & 0x3F) + '0');
    }
    return state;
}

}  // namespace vaultry::dao
