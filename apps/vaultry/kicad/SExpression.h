#pragma once
// The s-expressions KiCad writes its files in: lists in parentheses of atoms (bare words and
// numbers) and quoted strings (with backslash escapes), and nested lists. Each node keeps the
// line it starts on, for messages that point into the file.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vaultry::kicad {

struct SExpression {
    enum class Kind { kList, kAtom, kString };

    Kind kind = Kind::kList;
    std::string text;                // an atom's or a string's text
    std::vector<SExpression> items;  // a list's items
    int line = 1;

    bool IsList() const { return kind == Kind::kList; }
    // A list whose first item is the atom `head`, as in (pad ...).
    bool IsList(std::string_view head) const;
    // The list's head atom, "" for none.
    const std::string& Head() const;
    // The first item that is a list with head `head`, or null.
    const SExpression* Child(std::string_view head) const;
};

// What is wrong with a file, and on which line.
class SExpressionError : public std::runtime_error {
public:
    SExpressionError(int line, const std::string& what) : std::runtime_error(what), m_line(line) {}
    int Line() const { return m_line; }

private:
    int m_line;
};

// Reads one top-level list from `text` (anything after it but blanks is an error). Lists nest
// at most 100 deep: deeper is taken as damage, not as data.
SExpression ParseSExpression(std::string_view text);

}  // namespace vaultry::kicad
