#include "platform/dao/PgWatchedTables.h"

namespace vaultry::dao {
namespace {

// An element of an array literal: quoted, so that no name reads as null or splits in two.
std::string ArrayElement(const std::string& text) {
    std::string element = "\"";
    for (const char ch : text) {
        if (ch == '"' || ch == '\\') {
            element += '\\';
        }
        element += ch;
    }
    return element + '"';
}

}  // namespace

std::string PgWatchedTables::Watch(const std::map<std::string, std::string>& oids) {
    for (const auto& table : oids) {
        m_names.insert(table.first);
    }
    std::string answer = "{";
    m_literal = "{";
    for (const std::string& name : m_names) {
        const bool first = m_literal.size() == 1;
        const auto oid = oids.find(name);
        m_literal += (first ? "" : ",") + ArrayElement(name);
        answer += (first ? "" : ",") + (oid != oids.end() ? oid->second : std::string("NULL"));
    }
    m_literal += '}';
    return answer + '}';
}

}  // namespace vaultry::dao
