#include "platform/dao/StaticCursor.h"

#include <utility>

#include "platform/dao/CDaoException.h"
#include "platform/dao/Connection.h"

namespace vaultry::dao {
namespace {

[[noreturn]] void ThrowReadOnly() {
    throw CDaoException(JET_ERROR_READ_ONLY, "DAO.Recordset",
                        "Cannot update. Database or object is read-only.");
}

}  // namespace

StaticCursor::StaticCursor(Connection& connection, std::string sql,
                           std::vector<COleVariant> parameters)
    : m_connection(connection), m_sql(std::move(sql)), m_parameters(std::move(parameters)) {
    Restart();
}

bool StaticCursor::Restart() {
    auto statement = m_connection.Prepare(m_sql);
    statement->BindAll(m_parameters);
    m_rows.clear();
    m_index = -1;
    while (statement->Step()) {
        std::vector<COleVariant> row;
        for (int i = 0; i < statement->ColumnCount(); ++i) {
            row.push_back(statement->Column(i));
        }
        m_rows.push_back(std::move(row));
    }
    // The columns as the statement ran: a server prepares it anew for tables changed since.
    m_columns.clear();
    for (int i = 0; i < statement->ColumnCount(); ++i) {
        m_columns.emplace_back(statement->ColumnName(i));
    }
    return First();
}

bool StaticCursor::MoveTo(long index) {
    if (m_rows.empty()) {
        return false;
    }
    if (index < 0) {
        m_index = -1;
        return false;
    }
    if (index >= Size()) {
        m_index = Size();
        return false;
    }
    m_index = index;
    return true;
}

// A snapshot's rows no longer belong to a table, so there is nothing for the engine to search.
bool StaticCursor::FindFirst(const std::string&) {
    throw CDaoException(JET_ERROR_NOT_SUPPORTED, "DAO.Recordset",
                        "Operation is not supported for this type of object.");
}

bool StaticCursor::FindNext(const std::string& condition) {
    return FindFirst(condition);
}

const std::vector<COleVariant>& StaticCursor::Row() const {
    static const std::vector<COleVariant> kNoRow;
    return HasCurrentRow() ? m_rows[static_cast<std::size_t>(m_index)] : kNoRow;
}

void StaticCursor::UpdateCurrent(FieldChanges) {
    ThrowReadOnly();
}
void StaticCursor::Insert(FieldChanges) {
    ThrowReadOnly();
}
void StaticCursor::DeleteCurrent() {
    ThrowReadOnly();
}

}  // namespace vaultry::dao
