#include "platform/dao/PgTextFolding.h"

#include "platform/afx/UnicodeCase.h"

namespace vaultry::dao {

// translate() maps each code point that folds to another to its folding; ASCII-only texts, by
// far the most, take the quicker lower() under the "C" collation, which maps A-Z alone.
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
           "(text) RETURNS text LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS "
           "'SELECT CASE WHEN $1 ~ ''^[\\x01-\\x7F]*$'' THEN lower($1 COLLATE \"C\") "
           "ELSE translate(lower($1 COLLATE \"C\"), ''" +
           from + "'', ''" + to + "'') END'";
}

}  // namespace vaultry::dao
