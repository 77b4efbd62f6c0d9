#include "apps/vaultry/kicad/SExpression.h"

namespace vaultry::kicad {

namespace {

constexpr int kMostDepth = 100;

bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

class Parser {
public:
    explicit Parser(std::string_view text) : m_text(text) {}

    SExpression Document() {
        SkipBlanks();
        if (AtEnd() || Peek() != '(') {
            throw SExpressionError(m_line, "the file does not start with a list \"(\"");
        }
        SExpression root = List(0);
        SkipBlanks();
        if (!AtEnd()) {
            throw SExpressionError(m_line, "text after the end of the first list");
        }
        return root;
    }

private:
    bool AtEnd() const { return m_at >= m_text.size(); }
    char Peek() const { return m_text[m_at]; }
    char Take() {
        const char ch = m_text[m_at++];
        m_line += ch == '\n' ? 1 : 0;
        return ch;
    }
    void SkipBlanks() {
        while (!AtEnd() && IsBlank(Peek())) {
            Take();
        }
    }

    SExpression List(int depth) {
        if (depth >= kMostDepth) {
            throw SExpressionError(m_line, "lists nest deeper than " + std::to_string(kMostDepth));
        }
        SExpression list;
        list.line = m_line;
        Take();  // (
        for (;;) {
            SkipBlanks();
            if (AtEnd()) {
                throw SExpressionError(list.line, "a list that starts here is never closed");
            }
            const char ch = Peek();
            if (ch == ')') {
                Take();
                return list;
            }
            if (ch == '(') {
                list.items.push_back(List(depth + 1));
            } else if (ch == '"') {
                list.items.push_back(String());
            } else {
                list.items.push_back(Atom());
            }
        }
    }

    SExpression String() {
        SExpression string;
        string.kind = SExpression::Kind::kString;
        string.line = m_line;
        Take();  // "
        for (;;) {
            if (AtEnd()) {
                throw SExpressionError(string.line, "a string that starts here is never closed");
            }
            char ch = Take();
            if (ch == '"') {
                return string;
            }
            if (ch == '\\') {
                if (AtEnd()) {
                    throw SExpressionError(m_line, "a backslash at the end of the file");
                }
                ch = Take();
                ch = ch == 'n' ? '\n' : ch == 't' ? '\t' : ch;
            }
            string.text += ch;
        }
    }

    SExpression Atom() {
        SExpression atom;
        atom.kind = SExpression::Kind::kAtom;
        atom.line = m_line;
        while (!AtEnd() && !IsBlank(Peek()) && Peek() != '(' && Peek() != ')' && Peek() != '"') {
            atom.text += Take();
        }
        return atom;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
    int m_line = 1;
};

const std::string kNoHead;

}  // namespace

bool SExpression::IsList(std::string_view head) const {
    return IsList() && !items.empty() && items.front().kind == Kind::kAtom &&
           items.front().text == head;
}

const std::string& SExpression::Head() const {
    return IsList() && !items.empty() && items.front().kind == Kind::kAtom ? items.front().text
                                                                           : kNoHead;
}

const SExpression* SExpression::Child(std::string_view head) const {
    for (const SExpression& item : items) {
        if (item.IsList(head)) {
            return &item;
        }
    }
    return nullptr;
}

SExpression ParseSExpression(std::string_view text) {
    return Parser(text).Document();
}

}  // namespace vaultry::kicad
