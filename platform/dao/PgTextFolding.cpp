#include "platform/dao/PgTextFolding.h"

#include "platform/afx/UnicodeCase.h"

namespace vaultry::dao {

// translate() maps each code point that folds to another to its folding; ASCII-only texts, by
// far the most, take the quicker lower() under the "C" collation, which maps A-Z alone. In
// PL/pgSQL, compiled once a session: the server parses the body of an SQL function again for
// every statement that evaluates it without inlining it (each insert into an index on it, each
// lookup through one), and this body holds every cased character twice.
std::string PgTextFoldingFunction() {
    std::string from;
    std::string to;
    for (char32_t cp = 0x80; cp <= 0x10FFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            continue;
        }
        const char32_t folded = text::FoldCodePoint(cp);
        if (folded != cp) {
            text::AppendUtf8(from, cp);
            text::AppendUtf8(to, folded);
        }
    }
    return std::string("CREATE OR REPLACE FUNCTION ") + kTextFoldingFunction +
           "(text) RETURNS text LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS "
           "'BEGIN RETURN CASE WHEN $1 ~ ''^[\\x01-\\x7F]*$'' THEN lower($1 COLLATE \"C\") "
           "ELSE translate(lower($1 COLLATE \"C\"), ''" +
           from + "'', ''" + to + "'') END; END'";
}

}  // namespace vaultry::dao
