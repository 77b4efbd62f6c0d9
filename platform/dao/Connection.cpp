#include "platform/dao/Connection.h"

#include "platform/afx/UnicodeCase.h"

namespace vaultry::dao {
namespace {

constexpr std::size_t kStatementCacheLimit = 256;

bool ChangesSchema(std::string_view sql) {
    const std::size_t start = sql.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) {
        return false;
    }
    const std::string_view verb = sql.substr(start, sql.find_first_of(" \t\r\n", start) - start);
    return text::CompareFolded(verb, "CREATE") == 0 || text::CompareFolded(verb, "DROP") == 0 ||
           text::CompareFolded(verb, "ALTER") == 0;
}

}  // namespace

Connection::~Connection() = default;

Connection::Lease::Lease(Statement* statement, bool* busyFlag, std::unique_ptr<Statement> owned)
    : m_statement(statement), m_busyFlag(busyFlag), m_owned(std::move(owned)) {}

Connection::Lease::Lease(Lease&& other) noexcept
    : m_statement(other.m_statement),
      m_busyFlag(other.m_busyFlag),
      m_owned(std::move(other.m_owned)) {
    other.m_statement = nullptr;
    other.m_busyFlag = nullptr;
}

Connection::Lease::~Lease() {
    if (m_statement != nullptr) {
        m_statement->Reset();
    }
    if (m_busyFlag != nullptr) {
        *m_busyFlag = false;
    }
}

Connection::Lease Connection::Prepare(std::string_view sql) {
    auto it = m_cache.find(sql);
    if (it == m_cache.end()) {
        if (m_cache.size() >= kStatementCacheLimit) {
            ForgetIdleStatements();
        }
        auto statement = NewStatement(sql);
        BeforeFirstRun(*statement);
        it = m_cache.emplace(std::string(sql), CachedStatement{std::move(statement), false}).first;
    }
    CachedStatement& cached = it->second;
    if (cached.busy) {
        auto owned = NewStatement(sql);
        Statement* statement = owned.get();
        return Lease(statement, nullptr, std::move(owned));
    }
    cached.busy = true;
    return Lease(cached.statement.get(), &cached.busy, nullptr);
}

void Connection::ForgetIdleStatements() {
    std::erase_if(m_cache, [](const auto& entry) { return !entry.second.busy; });
}

// The count grows once the change of the schema is made: what was learnt of the schema while
// the statement was prepared is not taken for what it is after it ran. (A statement that
// failed changed nothing.)
void Connection::Execute(std::string_view sql) {
    auto statement = Prepare(sql);
    while (statement->Step()) {
    }
    if (ChangesSchema(sql)) {
        ForgetSchema();
        ++m_schemaChanges;
    }
}

const std::string& Connection::IntegerKeyColumn(const std::string& table) {
    if (const auto known = m_integerKeys.find(table); known != m_integerKeys.end()) {
        return known->second;
    }
    return m_integerKeys.emplace(table, ReadIntegerKeyColumn(table)).first->second;
}

bool Connection::InsertsKeepGivenValues(const std::string& table) {
    if (const auto known = m_insertsKeepGivenValues.find(table);
        known != m_insertsKeepGivenValues.end()) {
        return known->second;
    }
    return m_insertsKeepGivenValues.emplace(table, ReadInsertsKeepGivenValues(table)).first->second;
}

}  // namespace vaultry::dao
