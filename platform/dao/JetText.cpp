#include "platform/dao/JetText.h"

#include "platform/afx/UnicodeCase.h"
#include "platform/dao/JetPattern.h"

namespace vaultry::dao {
namespace {

void LikeFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (argc != 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL ||
        sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* pattern = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int patternBytes = sqlite3_value_bytes(argv[0]);
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    const int textBytes = sqlite3_value_bytes(argv[1]);
    if (pattern == nullptr || text == nullptr) {
        sqlite3_result_error_nomem(context);
        return;
    }
    sqlite3_result_int(context, JetLike(std::string_view(pattern, patternBytes),
                                        std::string_view(text, textBytes)));
}

int CollateFolded(void*, int lengthA, const void* a, int lengthB, const void* b) {
    return text::CompareFolded(std::string_view(static_cast<const char*>(a), lengthA),
                               std::string_view(static_cast<const char*>(b), lengthB));
}

}  // namespace

bool JetLike(std::string_view pattern, std::string_view text) {
    return JetPattern(pattern).Matches(text);
}

int RegisterJetText(sqlite3* db) {
    int rc = sqlite3_create_collation(db, kJetCollation, SQLITE_UTF8, nullptr, CollateFolded);
    if (rc == SQLITE_OK) {
        rc = sqlite3_create_function(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                     LikeFunction, nullptr, nullptr);
    }
    return rc;
}

}  // namespace vaultry::dao
