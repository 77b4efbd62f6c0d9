#pragma once
// The tables a connection watches for another program dropping them or making them anew: every
// table it has seen in its schema, by name as made. Their names go to the server as the one
// parameter of the signature statement, which answers with their oids in the same order (a
// null for a table not there), in the server's text for an array of oids.

#include <map>
#include <set>
#include <string>

namespace vaultry::dao {

class PgWatchedTables {
public:
    // Watches the tables of a schema just read (each name as made, and its oid) besides those
    // watched before, and gives the answer to expect while none of them changes.
    std::string Watch(const std::map<std::string, std::string>& oids);
    // The array literal the signature statement is given.
    const std::string& Names() const { return m_literal; }

private:
    std::set<std::string> m_names;
    std::string m_literal = "{}";
};

}  // namespace vaultry::dao
