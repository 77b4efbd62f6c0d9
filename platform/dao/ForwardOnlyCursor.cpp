#include "platform/dao/ForwardOnlyCursor.h"

#include <utility>

#include "platform/dao/CDaoException.h"

namespace vaultry::dao {
namespace {

[[noreturn]] void ThrowNotSupported() {
    throw CDaoException(JET_ERROR_NOT_SUPPORTED, "DAO.Recordset",
                        "Operation is not supported for this type of object.");
}

}  // namespace

ForwardOnlyCursor::ForwardOnlyCursor(Connection& connection, std::string sql,
                                     std::vector<COleVariant> parameters)
    : m_connection(connection), m_sql(std::move(sql)), m_parameters(std::move(parameters)) {
    Restart();
}

bool ForwardOnlyCursor::Restart() {
    m_statement.reset();
    m_statement.emplace(m_connection.Prepare(m_sql));
    (*m_statement)->BindAll(m_parameters);
    m_visited = 0;
    const bool found = (*m_statement)->Step();
    // The columns as the statement ran: a server prepares it anew for tables changed since.
    m_columns.clear();
    for (int i = 0; i < (*m_statement)->ColumnCount(); ++i) {
        m_columns.emplace_back((*m_statement)->ColumnName(i));
    }
    return Took(found);
}

bool ForwardOnlyCursor::Step() {
    return Took(m_statement != std::nullopt && (*m_statement)->Step());
}

// Reads the row the statement stands on into the row vector; past the last row the statement
// lets go of the file.
bool ForwardOnlyCursor::Took(bool found) {
    m_done = !found;
    if (m_done) {
        m_statement.reset();
        m_row.clear();
        return false;
    }
    m_row.resize(m_columns.size());
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        m_row[i] = (*m_statement)->Column(static_cast<int>(i));
    }
    ++m_visited;
    return true;
}

bool ForwardOnlyCursor::First() {
    if (m_visited > 1 || (m_done && m_visited > 0)) {
        ThrowNotSupported();
    }
    return !m_done;
}

bool ForwardOnlyCursor::Next() {
    return Step();
}

bool ForwardOnlyCursor::Last() {
    ThrowNotSupported();
}

bool ForwardOnlyCursor::Prev() {
    ThrowNotSupported();
}

bool ForwardOnlyCursor::FindFirst(const std::string&) {
    ThrowNotSupported();
}

bool ForwardOnlyCursor::FindNext(const std::string&) {
    ThrowNotSupported();
}

void ForwardOnlyCursor::UpdateCurrent(FieldChanges) {
    ThrowNotSupported();
}

void ForwardOnlyCursor::Insert(FieldChanges) {
    ThrowNotSupported();
}

void ForwardOnlyCursor::DeleteCurrent() {
    ThrowNotSupported();
}

}  // namespace vaultry::dao
