#include "platform/dao/PgSql.h"

#include <map>
#include <optional>

#include "platform/afx/UnicodeCase.h"
#include "platform/dao/JetPattern.h"
#include "platform/dao/PgTextFolding.h"

namespace vaultry::dao {
namespace {

struct Token {
    enum Kind {
        kSpace,
        kWord,
        kName,
        kString,
        kParameter,
        kOperator,
        kOpen,
        kClose,
        kComma,
        kOther
    };
    Kind kind;
    std::string_view text;
};

bool IsWordStart(char ch) {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || ch == '_' ||
           static_cast<unsigned char>(ch) >= 0x80;
}

bool IsWordPart(char ch) {
    return IsWordStart(ch) || (ch >= '0' && ch <= '9') || ch == '$';
}

// The end of the quoted run starting at `pos`: past its closing quote (a doubled quote stands
// for itself).
std::size_t QuotedEnd(std::string_view in, std::size_t pos) {
    const char quote = in[pos++];
    while (pos < in.size()) {
        if (in[pos++] == quote) {
            if (pos < in.size() && in[pos] == quote) {
                ++pos;
            } else {
                break;
            }
        }
    }
    return pos;
}

// A name, quoted or not, possibly qualified ("t.c", "\"t\".\"c\""), is one token.
std::size_t NameEnd(std::string_view in, std::size_t pos) {
    while (true) {
        if (in[pos] == '"') {
            pos = QuotedEnd(in, pos);
        } else {
            while (pos < in.size() && IsWordPart(in[pos])) {
                ++pos;
            }
        }
        if (pos + 1 < in.size() && in[pos] == '.' &&
            (in[pos + 1] == '"' || IsWordStart(in[pos + 1]))) {
            ++pos;
        } else {
            return pos;
        }
    }
}

std::vector<Token> Tokenize(std::string_view in) {
    std::vector<Token> tokens;
    std::size_t pos = 0;
    while (pos < in.size()) {
        const char ch = in[pos];
        std::size_t end = pos + 1;
        Token::Kind kind = Token::kOther;
        if (ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n') {
            kind = Token::kSpace;
            end = in.find_first_not_of(" \t\r\n", pos);
        } else if (ch == '\'') {
            kind = Token::kString;
            end = QuotedEnd(in, pos);
        } else if (ch == '"' || IsWordStart(ch)) {
            end = NameEnd(in, pos);
            kind = ch == '"' || in.substr(pos, end - pos).find('"') != std::string_view::npos ||
                           in.substr(pos, end - pos).find('.') != std::string_view::npos
                       ? Token::kName
                       : Token::kWord;
        } else if (ch == '?') {
            kind = Token::kParameter;
        } else if (ch == '<' || ch == '>' || ch == '=' || ch == '!') {
            kind = Token::kOperator;
            end = in.find_first_not_of("<>=!", pos);
        } else if (ch == '(') {
            kind = Token::kOpen;
        } else if (ch == ')') {
            kind = Token::kClose;
        } else if (ch == ',') {
            kind = Token::kComma;
        }
        end = std::min(end, in.size());
        tokens.push_back({kind, in.substr(pos, end - pos)});
        pos = end;
    }
    return tokens;
}

bool Is(const Token& token, std::string_view word) {
    return token.kind == Token::kWord && text::CompareFolded(token.text, word) == 0;
}

// Whether `name` is written with its schema's name (a '.' outside quotes).
bool Qualified(std::string_view name) {
    bool quoted = false;
    for (const char ch : name) {
        quoted = ch == '"' ? !quoted : quoted;
        if (ch == '.' && !quoted) {
            return true;
        }
    }
    return false;
}

// The last part of a name, unquoted, in lower case.
std::string ColumnOf(std::string_view name) {
    std::size_t start = name.size();
    while (start > 0 && name[start - 1] != '.') {
        --start;
    }
    std::string column(name.substr(start));
    if (!column.empty() && column.front() == '"') {
        column = column.substr(1, column.size() - 2);
    }
    return text::ToLower(column);
}

std::string FoldedName(std::string_view name) {
    std::string out;
    for (std::size_t pos = 0; pos < name.size();) {
        if (name[pos] == '"') {
            const std::size_t end = QuotedEnd(name, pos);
            for (; pos < end; ++pos) {
                const char ch = name[pos];
                out += ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
            }
        } else {
            out += name[pos++];
        }
    }
    return out;
}

std::string QuoteName(const std::string& name) {
    return '"' + name + '"';
}

std::string Unquoted(std::string_view literal) {
    std::string text;
    for (std::size_t i = 1; i + 1 < literal.size(); ++i) {
        text += literal[i];
        if (literal[i] == '\'') {
            ++i;  // the second of a doubled quote
        }
    }
    return text;
}

std::string Quoted(std::string_view text) {
    std::string literal = "'";
    for (const char ch : text) {
        literal += ch;
        if (ch == '\'') {
            literal += '\'';
        }
    }
    return literal + "'";
}

class Rewriter {
public:
    Rewriter(std::string_view in, const PgSchema& schema)
        : m_tokens(Tokenize(in)),
          m_textColumns(schema.textColumns),
          m_hiddenRowIds(schema.visibleColumns),
          m_rowIds(schema.rowIds),
          m_marks(m_tokens.size()) {}

    PgSql Run();

private:
    enum class Mode { kOther, kCondition, kOrder };
    enum class Mark { kNone, kFold, kPattern, kLike, kNotLike, kDrop };

    std::size_t NextSolid(std::size_t i) const {
        while (i < m_tokens.size() && m_tokens[i].kind == Token::kSpace) {
            ++i;
        }
        return i;
    }
    bool IsTextColumn(std::size_t i) const;
    bool IsValue(std::size_t i) const {
        return i < m_tokens.size() &&
               (m_tokens[i].kind == Token::kParameter || m_tokens[i].kind == Token::kString);
    }
    void MarkComparison(std::size_t column);
    void MarkRowValues(std::size_t open);
    void EndOrderTerm();
    void NoteOrderTermPart(std::size_t i);
    bool IsRowIdTerm() const;
    void FindIndexColumns();
    void NoteTableAfter(std::size_t keyword);
    std::size_t PreviousSolid(std::size_t i) const {
        while (i > 0 && m_tokens[i - 1].kind == Token::kSpace) {
            --i;
        }
        return i == 0 ? m_tokens.size() : i - 1;
    }
    bool IsNegated(std::size_t parameter) const;
    std::optional<std::string> StarColumns(std::size_t i);
    void Emit(std::size_t i);

    std::vector<Token> m_tokens;
    const std::set<std::string>& m_textColumns;
    const std::map<std::string, std::vector<std::string>>& m_hiddenRowIds;
    const std::map<std::string, std::string>& m_rowIds;
    std::vector<Mark> m_marks;
    std::vector<Mode> m_modes{Mode::kOther};
    bool m_termOpen = false;
    bool m_termDescending = false;
    std::size_t m_orderDepth = 0;
    std::size_t m_termParts = 0;  // tokens of the open order term...
    std::size_t m_termFirst = 0;  // ...and the first of them
    // The tables named after FROM and JOIN, with the depth of parentheses they were named at.
    std::vector<std::pair<std::size_t, std::string>> m_scopeTables;
    std::size_t m_indexColumnsEnd = std::string::npos;  // CREATE INDEX: the list's ")"...
    std::string m_indexRowId;                           // ...and the row id to end it with
    PgSql m_out;
};

bool Rewriter::IsTextColumn(std::size_t i) const {
    const Token& token = m_tokens[i];
    if (token.kind != Token::kWord && token.kind != Token::kName) {
        return false;
    }
    const std::size_t next = NextSolid(i + 1);
    if (next < m_tokens.size() && m_tokens[next].kind == Token::kOpen) {
        return false;  // a function
    }
    return m_textColumns.count(ColumnOf(token.text)) != 0;
}

// After a text column: the value it is compared with is folded too; a LIKE pattern becomes a
// regular expression.
void Rewriter::MarkComparison(std::size_t column) {
    std::size_t op = NextSolid(column + 1);
    if (op >= m_tokens.size()) {
        return;
    }
    if (m_tokens[op].kind == Token::kOperator) {
        const std::size_t value = NextSolid(op + 1);
        if (IsValue(value)) {
            m_marks[value] = Mark::kFold;
        }
        return;
    }
    bool negated = false;
    if (Is(m_tokens[op], "NOT")) {
        const std::size_t like = NextSolid(op + 1);
        if (like < m_tokens.size() && Is(m_tokens[like], "LIKE")) {
            m_marks[op] = Mark::kDrop;
            op = like;
            negated = true;
        }
    }
    if (Is(m_tokens[op], "LIKE")) {
        const std::size_t pattern = NextSolid(op + 1);
        if (IsValue(pattern)) {
            m_marks[op] = negated ? Mark::kNotLike : Mark::kLike;
            m_marks[pattern] = Mark::kPattern;
        }
    } else if (Is(m_tokens[op], "IN")) {
        std::size_t i = NextSolid(op + 1);
        if (i >= m_tokens.size() || m_tokens[i].kind != Token::kOpen) {
            return;
        }
        for (++i; i < m_tokens.size() && m_tokens[i].kind != Token::kClose; ++i) {
            if (IsValue(i)) {
                m_marks[i] = Mark::kFold;
            }
        }
    }
}

// "(a, b) > (?, ?)": each value compared with a text column is folded.
void Rewriter::MarkRowValues(std::size_t open) {
    std::vector<bool> textAt;
    std::size_t i = NextSolid(open + 1);
    while (i < m_tokens.size() && m_tokens[i].kind != Token::kClose) {
        if (m_tokens[i].kind != Token::kWord && m_tokens[i].kind != Token::kName) {
            return;
        }
        textAt.push_back(IsTextColumn(i));
        i = NextSolid(i + 1);
        if (i < m_tokens.size() && m_tokens[i].kind == Token::kComma) {
            i = NextSolid(i + 1);
        }
    }
    const std::size_t op = NextSolid(i + 1);
    std::size_t values = op < m_tokens.size() ? NextSolid(op + 1) : op;
    if (i >= m_tokens.size() || op >= m_tokens.size() || m_tokens[op].kind != Token::kOperator ||
        values >= m_tokens.size() || m_tokens[values].kind != Token::kOpen) {
        return;
    }
    std::size_t position = 0;
    for (std::size_t v = values + 1; v < m_tokens.size() && m_tokens[v].kind != Token::kClose;
         ++v) {
        if (m_tokens[v].kind == Token::kComma) {
            ++position;
        } else if (IsValue(v) && position < textAt.size() && textAt[position]) {
            m_marks[v] = Mark::kFold;
        }
    }
}

// A minus standing before a parameter, not between two values.
bool Rewriter::IsNegated(std::size_t parameter) const {
    const std::size_t minus = PreviousSolid(parameter);
    if (minus >= m_tokens.size() || m_tokens[minus].text != "-") {
        return false;
    }
    const std::size_t before = PreviousSolid(minus);
    if (before >= m_tokens.size()) {
        return true;
    }
    const Token& previous = m_tokens[before];
    if (previous.kind == Token::kWord) {
        for (const char* keyword : {"SELECT", "WHERE", "AND", "OR", "NOT", "SET", "VALUES", "IN",
                                    "LIKE", "BETWEEN", "WHEN", "THEN", "ELSE", "CASE", "ON"}) {
            if (Is(previous, keyword)) {
                return true;
            }
        }
        return false;  // a column: a difference
    }
    return previous.kind == Token::kOperator || previous.kind == Token::kOpen ||
           previous.kind == Token::kComma;
}

// "*" and "t.*" in a select list, for a table with a hidden row id: its visible columns, so
// that the hidden one shows nowhere. "t.*" is met at "t", and its ".*" then dropped.
std::optional<std::string> Rewriter::StarColumns(std::size_t i) {
    if (m_hiddenRowIds.empty() || m_modes.back() != Mode::kOther) {
        return std::nullopt;
    }
    const Token& token = m_tokens[i];
    std::string table;
    std::string prefix;
    if ((token.kind == Token::kWord || token.kind == Token::kName) && i + 2 < m_tokens.size() &&
        m_tokens[i + 1].text == "." && m_tokens[i + 2].text == "*") {
        table = ColumnOf(token.text);
        prefix = FoldedName(token.text) + ".";
    } else if (token.text == "*" && !(PreviousSolid(i) < m_tokens.size() &&
                                      m_tokens[PreviousSolid(i)].kind == Token::kOpen)) {
        for (std::size_t j = i + 1; j < m_tokens.size() && table.empty(); ++j) {
            if (Is(m_tokens[j], "FROM")) {
                const std::size_t name = NextSolid(j + 1);
                table = name < m_tokens.size() ? ColumnOf(m_tokens[name].text) : "";
                break;
            }
        }
    } else {
        return std::nullopt;
    }
    const auto hidden = m_hiddenRowIds.find(table);
    if (hidden == m_hiddenRowIds.end()) {
        return std::nullopt;
    }
    if (!prefix.empty()) {
        m_marks[i + 1] = Mark::kDrop;
        m_marks[i + 2] = Mark::kDrop;
    }
    std::string columns;
    for (const std::string& column : hidden->second) {
        columns += (columns.empty() ? "" : ",") + prefix + QuoteName(column);
    }
    return columns;
}

void Rewriter::EndOrderTerm() {
    if (m_termOpen) {
        if (!IsRowIdTerm()) {
            m_out.sql += m_termDescending ? " NULLS LAST " : " NULLS FIRST ";
        }
        m_termOpen = false;
        m_termDescending = false;
    }
    m_termParts = 0;
}

void Rewriter::NoteOrderTermPart(std::size_t i) {
    const Token& token = m_tokens[i];
    const bool boundary = m_modes.size() == m_orderDepth &&
                          (token.kind == Token::kComma || token.kind == Token::kClose);
    if (token.kind == Token::kSpace || boundary || Is(token, "ORDER") || Is(token, "BY") ||
        Is(token, "ASC") || Is(token, "DESC")) {
        return;
    }
    if (m_termParts++ == 0) {
        m_termFirst = i;
    }
}

// A term that is only the row id of the one table the statement reads at its depth.
bool Rewriter::IsRowIdTerm() const {
    if (m_termParts != 1) {
        return false;
    }
    const Token& term = m_tokens[m_termFirst];
    if (term.kind != Token::kWord && term.kind != Token::kName) {
        return false;
    }
    const std::string* table = nullptr;
    for (const auto& [depth, name] : m_scopeTables) {
        if (depth == m_orderDepth) {
            if (table != nullptr) {
                return false;
            }
            table = &name;
        }
    }
    const auto rowId = table ? m_rowIds.find(*table) : m_rowIds.end();
    return rowId != m_rowIds.end() && rowId->second == ColumnOf(term.text);
}

// "CREATE INDEX i ON t (columns)": where the columns end, and with what. A unique index keeps
// its columns as given.
void Rewriter::FindIndexColumns() {
    std::size_t i = NextSolid(0);
    if (i >= m_tokens.size() || !Is(m_tokens[i], "CREATE")) {
        return;
    }
    i = NextSolid(i + 1);
    if (i >= m_tokens.size() || !Is(m_tokens[i], "INDEX")) {
        return;
    }
    while (i < m_tokens.size() && !Is(m_tokens[i], "ON")) {
        ++i;
    }
    const std::size_t name = NextSolid(i + 1);
    const std::size_t open = name < m_tokens.size() ? NextSolid(name + 1) : name;
    if (open >= m_tokens.size() || m_tokens[open].kind != Token::kOpen) {
        return;
    }
    const std::string table = ColumnOf(m_tokens[name].text);
    m_out.tables.push_back(table);
    const auto rowId = m_rowIds.find(table);
    int depth = 0;
    for (std::size_t j = open; j < m_tokens.size() && rowId != m_rowIds.end(); ++j) {
        depth += m_tokens[j].kind == Token::kOpen ? 1 : m_tokens[j].kind == Token::kClose ? -1 : 0;
        if (depth == 0) {
            m_indexColumnsEnd = j;
            m_indexRowId = QuoteName(rowId->second);
            return;
        }
    }
}

void Rewriter::Emit(std::size_t i) {
    const Token& token = m_tokens[i];
    switch (m_marks[i]) {
        case Mark::kDrop:
            return;
        case Mark::kLike:
            m_out.sql += "~";
            return;
        case Mark::kNotLike:
            m_out.sql += "!~";
            return;
        case Mark::kPattern:
            if (token.kind == Token::kParameter) {
                m_out.parameters.push_back(PgSql::Parameter::kLikePattern);
                m_out.sql += '$' + std::to_string(m_out.parameters.size());
            } else {
                m_out.sql += Quoted(JetPattern(Unquoted(token.text)).ToRegex());
            }
            return;
        default:
            break;
    }
    std::string text;
    if (token.kind == Token::kParameter) {
        m_out.parameters.push_back(PgSql::Parameter::kPlain);
        text = '$' + std::to_string(m_out.parameters.size());
        if (IsNegated(i)) {
            text = "(" + text + "::numeric)";  // the server cannot tell the type of -$1
        }
    } else if (const auto columns = StarColumns(i)) {
        text = *columns;
    } else if (token.kind == Token::kName || token.kind == Token::kWord) {
        text = FoldedName(token.text);
    } else {
        text = std::string(token.text);
    }
    const bool foldColumn = m_modes.back() != Mode::kOther && IsTextColumn(i);
    if (m_marks[i] == Mark::kFold || foldColumn) {
        text = std::string(kTextFoldingFunction) + "(" + text + ")";
    }
    m_out.sql += text;
}

// Only a name the library's schema may hold: not qualified by another schema, not one of the
// server's own catalogs, not a function.
void Rewriter::NoteTableAfter(std::size_t keyword) {
    const std::size_t name = NextSolid(keyword + 1);
    if (name >= m_tokens.size() ||
        (m_tokens[name].kind != Token::kWord && m_tokens[name].kind != Token::kName)) {
        return;
    }
    const std::string table = ColumnOf(m_tokens[name].text);
    const std::size_t next = NextSolid(name + 1);
    const bool function = next < m_tokens.size() && m_tokens[next].kind == Token::kOpen &&
                          !Is(m_tokens[keyword], "INTO");
    if (!Qualified(m_tokens[name].text) && !table.starts_with("pg_") && !function) {
        m_out.tables.push_back(table);
        if (!Is(m_tokens[keyword], "INTO") && !Is(m_tokens[keyword], "UPDATE")) {
            m_scopeTables.emplace_back(m_modes.size(), table);
        }
    }
}

PgSql Rewriter::Run() {
    FindIndexColumns();
    for (std::size_t i = 0; i < m_tokens.size(); ++i) {
        const Token& token = m_tokens[i];
        Mode& mode = m_modes.back();
        if (token.kind == Token::kWord) {
            if (Is(token, "FROM") || Is(token, "JOIN") || Is(token, "INTO") ||
                Is(token, "UPDATE")) {
                NoteTableAfter(i);
            }
            if (Is(token, "WHERE") || Is(token, "HAVING") || Is(token, "ON")) {
                EndOrderTerm();
                mode = Mode::kCondition;
            } else if (Is(token, "ORDER")) {
                mode = Mode::kOrder;
                m_orderDepth = m_modes.size();
                m_termParts = 0;
            } else if (Is(token, "SELECT") || Is(token, "FROM") || Is(token, "GROUP") ||
                       Is(token, "LIMIT") || Is(token, "OFFSET") || Is(token, "SET") ||
                       Is(token, "VALUES") || Is(token, "UNION") || Is(token, "RETURNING")) {
                if (mode == Mode::kOrder) {
                    EndOrderTerm();
                }
                mode = Mode::kOther;
            } else if (mode == Mode::kOrder && (Is(token, "DESC") || Is(token, "ASC"))) {
                m_termDescending = Is(token, "DESC");
            } else if (mode == Mode::kOrder && !Is(token, "BY") && m_modes.size() == m_orderDepth) {
                m_termOpen = true;
            }
        }
        if (mode == Mode::kOrder && m_modes.size() == m_orderDepth) {
            if (token.kind == Token::kComma || token.kind == Token::kClose) {
                EndOrderTerm();
            } else if (token.kind != Token::kSpace && token.kind != Token::kWord) {
                m_termOpen = true;
            }
        }
        if (mode == Mode::kOrder) {
            NoteOrderTermPart(i);
        }
        if (mode == Mode::kCondition) {
            if (token.kind == Token::kOpen) {
                MarkRowValues(i);
            } else if (IsTextColumn(i)) {
                MarkComparison(i);
            }
        }
        if (i == m_indexColumnsEnd) {
            m_out.sql += "," + m_indexRowId;
        }
        Emit(i);
        if (token.kind == Token::kOpen) {
            m_modes.push_back(m_modes.back());
        } else if (token.kind == Token::kClose && m_modes.size() > 1) {
            m_modes.pop_back();
        }
    }
    if (m_modes.back() == Mode::kOrder) {
        EndOrderTerm();
    }
    return std::move(m_out);
}

}  // namespace

PgSql ToPostgresSql(std::string_view sqliteSql, const PgSchema& schema) {
    return Rewriter(sqliteSql, schema).Run();
}

}  // namespace vaultry::dao
