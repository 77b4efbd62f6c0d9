#include "platform/dao/JetText.h"

#include <vector>

#include "platform/afx/UnicodeCase.h"

namespace vaultry::dao {
namespace {

using text::DecodeUtf8;
using text::FoldCodePoint;

struct PatternItem {
    enum Kind { kAnyRun, kAnyOne, kDigit, kSet, kLiteral } kind;
    char32_t literal = 0;
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;  // folded, inclusive

    bool Matches(char32_t folded) const {
        switch (kind) {
            case kAnyOne:
                return true;
            case kDigit:
                return folded >= '0' && folded <= '9';
            case kLiteral:
                return folded == literal;
            case kSet: {
                bool inSet = false;
                for (const auto& [low, high] : ranges) {
                    inSet = inSet || (folded >= low && folded <= high);
                }
                return inSet != negated;
            }
            default:
                return false;
        }
    }
};

std::vector<char32_t> FoldedCodePoints(std::string_view text) {
    std::vector<char32_t> out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        out.push_back(FoldCodePoint(DecodeUtf8(text, pos)));
    }
    return out;
}

// Parses "[...]" starting just after '['; returns false (leaving `pos`) when it is not closed.
bool ParseSet(const std::vector<char32_t>& cps, std::size_t& pos, PatternItem& item) {
    std::size_t i = pos;
    item.kind = PatternItem::kSet;
    if (i < cps.size() && cps[i] == '!') {
        item.negated = true;
        ++i;
    }
    for (; i < cps.size() && cps[i] != ']'; ++i) {
        if (i + 2 < cps.size() && cps[i + 1] == '-' && cps[i + 2] != ']') {
            item.ranges.emplace_back(cps[i], cps[i + 2]);
            i += 2;
        } else {
            item.ranges.emplace_back(cps[i], cps[i]);
        }
    }
    if (i >= cps.size()) {
        return false;
    }
    pos = i + 1;
    return true;
}

std::vector<PatternItem> ParsePattern(std::string_view pattern) {
    const std::vector<char32_t> cps = FoldedCodePoints(pattern);
    std::vector<PatternItem> items;
    for (std::size_t pos = 0; pos < cps.size();) {
        const char32_t cp = cps[pos++];
        PatternItem item{PatternItem::kLiteral, cp, false, {}};
        if (cp == '*') {
            item.kind = PatternItem::kAnyRun;
        } else if (cp == '?') {
            item.kind = PatternItem::kAnyOne;
        } else if (cp == '#') {
            item.kind = PatternItem::kDigit;
        } else if (cp == '[') {
            PatternItem set{PatternItem::kSet, 0, false, {}};
            if (ParseSet(cps, pos, set)) {
                item = std::move(set);
            }
        }
        items.push_back(std::move(item));
    }
    return items;
}

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
    const std::vector<PatternItem> items = ParsePattern(pattern);
    const std::vector<char32_t> cps = FoldedCodePoints(text);
    // Greedy matching that, on a mismatch, retries from the last * one character further on.
    std::size_t p = 0;
    std::size_t t = 0;
    std::size_t starItem = std::string_view::npos;
    std::size_t starText = 0;
    while (t < cps.size()) {
        if (p < items.size() && items[p].kind == PatternItem::kAnyRun) {
            starItem = p++;
            starText = t;
        } else if (p < items.size() && items[p].Matches(cps[t])) {
            ++p;
            ++t;
        } else if (starItem != std::string_view::npos) {
            p = starItem + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < items.size() && items[p].kind == PatternItem::kAnyRun) {
        ++p;
    }
    return p == items.size();
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
