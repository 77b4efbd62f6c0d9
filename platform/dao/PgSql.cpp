#include "platform/dao/PgSql.h"

namespace vaultry::dao {
namespace {

// Copies the quoted run starting at `pos` (a literal or a name) up to and with its closing
// quote, a doubled quote standing for itself; `fold` lower-cases its ASCII letters.
std::size_t CopyQuoted(std::string_view in, std::size_t pos, bool fold, std::string& out) {
    const char quote = in[pos];
    out += in[pos++];
    while (pos < in.size()) {
        const char ch = in[pos++];
        out += fold && ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
        if (ch == quote) {
            if (pos < in.size() && in[pos] == quote) {
                out += in[pos++];
            } else {
                break;
            }
        }
    }
    return pos;
}

}  // namespace

PgSql ToPostgresSql(std::string_view in) {
    PgSql result;
    result.sql.reserve(in.size() + 8);
    std::size_t pos = 0;
    while (pos < in.size()) {
        const char ch = in[pos];
        if (ch == '\'' || ch == '"') {
            pos = CopyQuoted(in, pos, ch == '"', result.sql);
        } else if (ch == '?') {
            result.sql += '$' + std::to_string(++result.parameterCount);
            ++pos;
        } else {
            result.sql += ch;
            ++pos;
        }
    }
    return result;
}

}  // namespace vaultry::dao
