#include "platform/dao/JetSql.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <string>
#include <unordered_map>

namespace vaultry::dao {
namespace {

// ASCII only, and without the locale lookup of isalnum: this runs over every statement.
bool IsWordChar(char ch) {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
           ch == '_' || ch == '$';
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() &&
           (std::isspace(static_cast<unsigned char>(text.back())) || text.back() == ';')) {
        text.remove_suffix(1);
    }
    return text;
}

// Index just past a quoted run that starts at `pos` with `open` and ends with `close`, where
// a doubled closing character stands for itself.
std::size_t SkipQuoted(std::string_view sql, std::size_t pos, char close) {
    for (++pos; pos < sql.size(); ++pos) {
        if (sql[pos] == close) {
            if (pos + 1 < sql.size() && sql[pos + 1] == close && close != ']') {
                ++pos;
                continue;
            }
            return pos + 1;
        }
    }
    return sql.size();
}

struct Word {
    std::string_view text;
    std::size_t begin;
    std::size_t end;
};

// The words of `sql` outside quotes and parentheses, with a flag for any parenthesis seen.
std::vector<Word> TopLevelWords(std::string_view sql) {
    std::vector<Word> words;
    int depth = 0;
    for (std::size_t pos = 0; pos < sql.size();) {
        const char ch = sql[pos];
        if (ch == '\'' || ch == '"') {
            pos = SkipQuoted(sql, pos, ch);
        } else if (ch == '[') {
            pos = SkipQuoted(sql, pos, ']');
        } else if (ch == '(' || ch == ')') {
            depth += ch == '(' ? 1 : -1;
            ++pos;
        } else if (IsWordChar(ch)) {
            const std::size_t begin = pos;
            while (pos < sql.size() && IsWordChar(sql[pos])) {
                ++pos;
            }
            if (depth == 0) {
                words.push_back({sql.substr(begin, pos - begin), begin, pos});
            }
        } else {
            ++pos;
        }
    }
    return words;
}

// Splits at commas outside quotes and parentheses.
std::vector<std::string_view> SplitTopLevel(std::string_view text) {
    std::vector<std::string_view> parts;
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const char ch = text[pos];
        if (ch == '\'' || ch == '"') {
            pos = SkipQuoted(text, pos, ch);
            continue;
        }
        if (ch == '(') {
            ++depth;
        } else if (ch == ')') {
            --depth;
        } else if (ch == ',' && depth == 0) {
            parts.push_back(text.substr(start, pos - start));
            start = pos + 1;
        }
        ++pos;
    }
    parts.push_back(text.substr(start));
    return parts;
}

// The table named by a FROM clause that is one plain or quoted identifier.
std::optional<std::string> SingleTableName(std::string_view from) {
    from = Trim(from);
    if (from.empty()) {
        return std::nullopt;
    }
    if (from.front() == '"') {
        if (SkipQuoted(from, 0, '"') != from.size()) {
            return std::nullopt;
        }
        std::string name;
        for (std::size_t i = 1; i + 1 < from.size(); ++i) {
            name.push_back(from[i]);
            if (from[i] == '"') {
                ++i;
            }
        }
        return name;
    }
    for (char ch : from) {
        if (!IsWordChar(ch)) {
            return std::nullopt;
        }
    }
    return std::string(from);
}

}  // namespace

std::string TranslateJetSql(std::string_view jet) {
    std::string out;
    out.reserve(jet.size() + 8);
    for (std::size_t pos = 0; pos < jet.size();) {
        // Text outside quotes is copied as it stands, a run at a time: this runs over every
        // statement.
        std::size_t quoted = pos;
        while (quoted < jet.size() && jet[quoted] != '\'' && jet[quoted] != '"' &&
               jet[quoted] != '[') {
            ++quoted;
        }
        out.append(jet.substr(pos, quoted - pos));
        pos = quoted;
        if (pos == jet.size()) {
            break;
        }
        const char ch = jet[pos];
        if (ch == '\'') {
            const std::size_t end = SkipQuoted(jet, pos, '\'');
            out.append(jet.substr(pos, end - pos));
            pos = end;
        } else if (ch == '"' || ch == '[') {
            const char close = ch == '"' ? '"' : ']';
            const std::size_t end = SkipQuoted(jet, pos, close);
            const bool closed = end <= jet.size() && jet[end - 1] == close && end - pos >= 2;
            const std::string_view body = jet.substr(pos + 1, end - pos - (closed ? 2 : 1));
            const char quote = ch == '"' ? '\'' : '"';
            out.push_back(quote);
            for (std::size_t i = 0; i < body.size(); ++i) {
                if (ch == '"' && body[i] == '"') {
                    ++i;  // Jet's doubled quote inside "..." stands for one quote
                    out.push_back('"');
                    continue;
                }
                if (body[i] == quote) {
                    out.push_back(quote);
                }
                out.push_back(body[i]);
            }
            out.push_back(quote);
            pos = end;
        }
    }
    return out;
}

namespace {

// What the parameterizer met besides literals: the first word, and whether ORDER BY or LIMIT
// follow, where a number names a column or counts rows rather than being a value.
struct StatementWords {
    std::string_view first;
    bool orderOrLimit = false;
};

ParameterizedSql ParameterizeWords(std::string_view condition, StatementWords& words) {
    ParameterizedSql out;
    out.sql.reserve(condition.size());
    for (std::size_t pos = 0; pos < condition.size();) {
        const char ch = condition[pos];
        if (ch == '\'') {
            const std::size_t end = SkipQuoted(condition, pos, '\'');
            if (end > pos + 1 && condition[end - 1] == '\'') {
                std::string text;
                for (std::size_t i = pos + 1; i + 1 < end; ++i) {
                    text.push_back(condition[i]);
                    if (condition[i] == '\'') {
                        ++i;  // a doubled quote stands for one
                    }
                }
                out.values.emplace_back(CString(std::move(text)));
                out.sql.push_back('?');
            } else {
                out.sql.append(condition.substr(pos, end - pos));
            }
            pos = end;
        } else if (ch == '"' || ch == '[') {
            const std::size_t end = SkipQuoted(condition, pos, ch == '"' ? '"' : ']');
            out.sql.append(condition.substr(pos, end - pos));
            pos = end;
        } else if (IsWordChar(ch)) {
            std::size_t end = pos;
            while (end < condition.size() &&
                   (IsWordChar(condition[end]) || condition[end] == '.')) {
                ++end;
            }
            const std::string_view word = condition.substr(pos, end - pos);
            const bool digits = std::isdigit(static_cast<unsigned char>(ch)) &&
                                word.find_first_not_of("0123456789.") == std::string::npos &&
                                std::count(word.begin(), word.end(), '.') <= 1;
            if (digits && word.find('.') == std::string::npos && word.size() <= 18) {
                std::int64_t number = 0;
                std::from_chars(word.data(), word.data() + word.size(), number);
                out.values.emplace_back(number);
                out.sql.push_back('?');
            } else if (digits && word.size() > 1) {
                out.values.emplace_back(std::stod(std::string(word)));
                out.sql.push_back('?');
            } else {
                if (words.first.empty()) {
                    words.first = word;
                }
                words.orderOrLimit = words.orderOrLimit || EqualsIgnoringAsciiCase(word, "ORDER") ||
                                     EqualsIgnoringAsciiCase(word, "LIMIT");
                out.sql.append(word);
            }
            pos = end;
        } else if (ch == '.' && pos + 1 < condition.size() &&
                   std::isdigit(static_cast<unsigned char>(condition[pos + 1]))) {
            // ".5": kept as written rather than split around a parameter
            const std::size_t end = condition.find_first_not_of("0123456789", pos + 1);
            out.sql.append(condition.substr(pos, end - pos));
            pos = end == std::string_view::npos ? condition.size() : end;
        } else {
            out.sql.push_back(ch);
            ++pos;
        }
    }
    return out;
}

}  // namespace

ParameterizedSql Parameterize(std::string_view condition) {
    StatementWords words;
    return ParameterizeWords(condition, words);
}

std::optional<ParameterizedSql> ParameterizeRowStatement(std::string_view sql) {
    StatementWords words;
    ParameterizedSql statement = ParameterizeWords(sql, words);
    const bool rowStatement = EqualsIgnoringAsciiCase(words.first, "INSERT") ||
                              EqualsIgnoringAsciiCase(words.first, "UPDATE") ||
                              EqualsIgnoringAsciiCase(words.first, "DELETE");
    if (!rowStatement || words.orderOrLimit) {
        return std::nullopt;
    }
    return statement;
}

std::string QuoteIdentifier(std::string_view name) {
    std::string quoted = "\"";
    for (char ch : name) {
        quoted.push_back(ch);
        if (ch == '"') {
            quoted.push_back('"');
        }
    }
    return quoted + "\"";
}

std::vector<OrderTerm> ParseOrderBy(std::string_view orderBy) {
    std::vector<OrderTerm> terms;
    if (Trim(orderBy).empty()) {
        return terms;
    }
    for (std::string_view part : SplitTopLevel(orderBy)) {
        part = Trim(part);
        OrderTerm term;
        const auto words = TopLevelWords(part);
        if (!words.empty() && words.back().end == part.size()) {
            if (EqualsIgnoringAsciiCase(words.back().text, "DESC")) {
                term.descending = true;
                part = Trim(part.substr(0, words.back().begin));
            } else if (EqualsIgnoringAsciiCase(words.back().text, "ASC")) {
                part = Trim(part.substr(0, words.back().begin));
            }
        }
        term.expression = std::string(part);
        terms.push_back(std::move(term));
    }
    return terms;
}

std::optional<SelectStatement> ParseSelect(std::string_view sql) {
    sql = Trim(sql);
    const auto words = TopLevelWords(sql);
    if (words.empty() || !EqualsIgnoringAsciiCase(words.front().text, "SELECT")) {
        return std::nullopt;
    }
    // Clause keywords in the order SQL allows them; each clause runs to the next one found.
    enum Clause { kFrom, kWhere, kGroup, kHaving, kOrder, kLimit, kClauseCount };
    static constexpr std::string_view kKeywords[] = {"FROM",   "WHERE", "GROUP",
                                                     "HAVING", "ORDER", "LIMIT"};
    std::size_t start[kClauseCount];
    std::size_t bodyStart[kClauseCount];
    for (int c = 0; c < kClauseCount; ++c) {
        start[c] = bodyStart[c] = std::string_view::npos;
    }
    bool plainRows = true;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string_view word = words[i].text;
        if (EqualsIgnoringAsciiCase(word, "UNION") || EqualsIgnoringAsciiCase(word, "JOIN") ||
            EqualsIgnoringAsciiCase(word, "DISTINCT")) {
            plainRows = false;
        }
        for (int c = 0; c < kClauseCount; ++c) {
            if (start[c] == std::string_view::npos && EqualsIgnoringAsciiCase(word, kKeywords[c])) {
                start[c] = words[i].begin;
                bodyStart[c] = words[i].end;
                const bool takesBy = c == kGroup || c == kOrder;
                if (takesBy && i + 1 < words.size() &&
                    EqualsIgnoringAsciiCase(words[i + 1].text, "BY")) {
                    bodyStart[c] = words[++i].end;
                }
                break;
            }
        }
    }
    if (start[kFrom] == std::string_view::npos) {
        return std::nullopt;
    }
    auto clauseEnd = [&](int c) {
        for (int next = c + 1; next < kClauseCount; ++next) {
            if (start[next] != std::string_view::npos) {
                return start[next];
            }
        }
        return sql.size();
    };
    auto body = [&](int c) {
        return start[c] == std::string_view::npos
                   ? std::string()
                   : std::string(Trim(sql.substr(bodyStart[c], clauseEnd(c) - bodyStart[c])));
    };

    SelectStatement statement;
    statement.selectList =
        std::string(Trim(sql.substr(words.front().end, start[kFrom] - words.front().end)));
    statement.from = body(kFrom);
    statement.where = body(kWhere);
    statement.orderBy = ParseOrderBy(body(kOrder));
    for (int c : {kGroup, kHaving, kLimit}) {
        if (start[c] != std::string_view::npos) {
            plainRows = false;
            statement.tail +=
                std::string(kKeywords[c]) + (c == kGroup ? " BY " : " ") + body(c) + " ";
        }
    }
    if (statement.selectList.find('(') != std::string::npos) {
        plainRows = false;  // computed columns, aggregates among them
    }
    if (plainRows) {
        statement.table = SingleTableName(statement.from);
    }
    return statement;
}

std::optional<SelectStatement> ParseJetSelect(const std::string& jetSql) {
    // Statements with a value written in (a name, an id) make the set of texts unbounded; the
    // memory is dropped when it fills rather than managed finely.
    constexpr std::size_t kRemembered = 256;
    thread_local std::unordered_map<std::string, std::optional<SelectStatement>> parsed;
    if (const auto found = parsed.find(jetSql); found != parsed.end()) {
        return found->second;
    }
    if (parsed.size() >= kRemembered) {
        parsed.clear();
    }
    return parsed.emplace(jetSql, ParseSelect(TranslateJetSql(jetSql))).first->second;
}

}  // namespace vaultry::dao
