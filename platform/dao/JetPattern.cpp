#include "platform/dao/JetPattern.h"

#include "platform/afx/UnicodeCase.h"

namespace vaultry::dao {

using text::DecodeUtf8;
using text::FoldCodePoint;

bool JetPattern::Item::Matches(char32_t folded) const {
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

// Parses "[...]" starting just after '['; returns false (leaving `pos`) when it is not closed.
bool JetPattern::ParseSet(const std::vector<char32_t>& cps, std::size_t& pos, Item& item) {
    std::size_t i = pos;
    item.kind = Item::kSet;
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

JetPattern::JetPattern(std::string_view pattern) {
    std::vector<char32_t> cps;
    for (std::size_t pos = 0; pos < pattern.size();) {
        cps.push_back(FoldCodePoint(DecodeUtf8(pattern, pos)));
    }
    for (std::size_t pos = 0; pos < cps.size();) {
        const char32_t cp = cps[pos++];
        Item item{Item::kLiteral, cp, false, {}};
        if (cp == '*') {
            item.kind = Item::kAnyRun;
        } else if (cp == '?') {
            item.kind = Item::kAnyOne;
        } else if (cp == '#') {
            item.kind = Item::kDigit;
        } else if (cp == '[') {
            Item set{Item::kSet, 0, false, {}};
            if (ParseSet(cps, pos, set)) {
                item = std::move(set);
            }
        }
        m_items.push_back(std::move(item));
    }
}

// Greedy matching that, on a mismatch, retries from the last * one character further on. The
// text is decoded as it is walked (positions are byte offsets), so that matching many texts
// allocates nothing.
bool JetPattern::Matches(std::string_view text) const {
    std::size_t p = 0;
    std::size_t t = 0;
    std::size_t starItem = std::string_view::npos;
    std::size_t starText = 0;
    while (t < text.size()) {
        std::size_t next = t;
        const char32_t folded = FoldCodePoint(DecodeUtf8(text, next));
        if (p < m_items.size() && m_items[p].kind == Item::kAnyRun) {
            starItem = p++;
            starText = t;
        } else if (p < m_items.size() && m_items[p].Matches(folded)) {
            ++p;
            t = next;
        } else if (starItem != std::string_view::npos) {
            p = starItem + 1;
            DecodeUtf8(text, starText);  // one character further on
            t = starText;
        } else {
            return false;
        }
    }
    while (p < m_items.size() && m_items[p].kind == Item::kAnyRun) {
        ++p;
    }
    return p == m_items.size();
}

namespace {

void AppendRegexCharacter(std::string& regex, char32_t cp) {
    const bool plain = cp >= 0x80 || (cp >= '0' && cp <= '9') || (cp >= 'a' && cp <= 'z') ||
                       (cp >= 'A' && cp <= 'Z');
    if (!plain) {
        regex += '\\';
    }
    text::AppendUtf8(regex, cp);
}

// A set whose ranges are all empty matches nothing; texts hold no NUL, so this does not match.
constexpr const char* kNothing = "[^\\x01-\\U0010FFFF]";

}  // namespace

std::string JetPattern::ToRegex() const {
    std::string regex = "^";
    for (const Item& item : m_items) {
        switch (item.kind) {
            case Item::kAnyRun:
                regex += ".*";
                break;
            case Item::kAnyOne:
                regex += '.';
                break;
            case Item::kDigit:
                regex += "[0-9]";
                break;
            case Item::kLiteral:
                AppendRegexCharacter(regex, item.literal);
                break;
            case Item::kSet: {
                std::string members;
                for (const auto& [low, high] : item.ranges) {
                    if (low <= high) {
                        AppendRegexCharacter(members, low);
                        if (high != low) {
                            members += '-';
                            AppendRegexCharacter(members, high);
                        }
                    }
                }
                if (members.empty()) {
                    regex += item.negated ? "." : kNothing;
                } else {
                    regex += (item.negated ? "[^" : "[") + members + "]";
                }
                break;
            }
        }
    }
    return regex + "$";
}

}  // namespace vaultry::dao
