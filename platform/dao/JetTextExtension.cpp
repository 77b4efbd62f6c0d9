// The libraries' text semantics as a loadable SQLite extension, for tools other than this
// program: the stock sqlite3 shell refuses to compare, sort or check the text columns of a
// library without their collation. In the shell:
//
//   sqlite> .load /usr/local/lib/vaultry/vaultry_jettext
//   sqlite> PRAGMA integrity_check;
//
// It registers the collation, folding case exactly as the program does, and jet_like(pattern,
// text), the program's LIKE; the shell's own LIKE keeps its SQL meaning.

#include <sqlite3ext.h>

#include <string_view>

#include "platform/afx/UnicodeCase.h"
#include "platform/dao/JetPattern.h"

SQLITE_EXTENSION_INIT1

namespace {

constexpr const char* kCollation = "JETNOCASE";  // as the library files declare their columns

int CollateFolded(void*, int lengthA, const void* a, int lengthB, const void* b) {
    return vaultry::text::CompareFolded(
        std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(lengthA)),
        std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(lengthB)));
}

std::string_view TextOf(sqlite3_value* value) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return text == nullptr
               ? std::string_view()
               : std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(value)));
}

void JetLike(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const std::string_view pattern = TextOf(argv[0]);
    const std::string_view text = TextOf(argv[1]);
    sqlite3_result_int(context, vaultry::dao::JetPattern(pattern).Matches(text) ? 1 : 0);
}

}  // namespace

extern "C" int sqlite3_vaultryjettext_init(sqlite3* db, char**, const sqlite3_api_routines* api) {
    SQLITE_EXTENSION_INIT2(api);
    int rc = sqlite3_create_collation(db, kCollation, SQLITE_UTF8, nullptr, CollateFolded);
    if (rc == SQLITE_OK) {
        rc = sqlite3_create_function(db, "jet_like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                     JetLike, nullptr, nullptr);
    }
    return rc;
}
