#pragma once
// Case mapping of UTF-8 text. Every comparison in the system that ignores case goes through
// CompareFolded, in C++ and (through the DAO layer's collation and LIKE) in SQL, so both sides
// always agree on which names are equal and how they sort.

#include <string>
#include <string_view>

namespace vaultry::text {

// Simple (one code point to one code point) mappings; code points without one map to
// themselves.
char32_t FoldCodePoint(char32_t cp);
char32_t LowerCodePoint(char32_t cp);
char32_t UpperCodePoint(char32_t cp);

// Decodes the code point at `pos` and advances `pos` past it. A byte that does not start a
// well-formed sequence decodes alone as U+DC00 + byte, so that any byte string compares and
// folds deterministically and round-trips through the mappings unchanged.
char32_t DecodeUtf8(std::string_view text, std::size_t& pos);
void AppendUtf8(std::string& out, char32_t cp);

// <0, 0 or >0 as `a` sorts before, equal to or after `b` when case is ignored.
int CompareFolded(std::string_view a, std::string_view b);
// A key equal for two texts exactly when CompareFolded finds them equal, for hashed sets of
// names; not a text to show (a byte outside well-formed UTF-8 stays as its stand-in code point).
std::string FoldedKey(std::string_view text);

// Orders texts as the libraries compare names: for sets and maps of names.
struct FoldedLess {
    bool operator()(std::string_view a, std::string_view b) const {
        return CompareFolded(a, b) < 0;
    }
};
std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);

}  // namespace vaultry::text
