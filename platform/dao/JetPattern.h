#pragma once
// A pattern of Jet's LIKE, read once and matched against many texts: what the SQL LIKE of the
// libraries does, for rows already read. * any run, ? one character, # one digit, [abc], [a-z]
// and [!abc] one character of (or not of) a set; every other character, SQL's % and _ among
// them, stands for itself. Case is ignored, folded as CString::CompareNoCase folds it. A [
// without its ] stands for itself.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vaultry::dao {

class JetPattern {
public:
    explicit JetPattern(std::string_view pattern);
    bool Matches(std::string_view text) const;
    // The same pattern as a regular expression of PostgreSQL's (an ARE), matched against
    // folded text: for a server to do what Matches does.
    std::string ToRegex() const;

private:
    struct Item {
        enum Kind { kAnyRun, kAnyOne, kDigit, kSet, kLiteral } kind;
        char32_t literal = 0;
        bool negated = false;
        std::vector<std::pair<char32_t, char32_t>> ranges;  // folded, inclusive
        bool Matches(char32_t folded) const;
    };
    static bool ParseSet(const std::vector<char32_t>& cps, std::size_t& pos, Item& item);

    std::vector<Item> m_items;
};

}  // namespace vaultry::dao
