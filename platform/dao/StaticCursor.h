#pragma once
// A snapshot: every row of the statement read when the cursor is made, and never updated. Used
// for snapshot sets and for statements that do not read plain rows of one table (aggregates,
// joins, grouping), which have no row to go back to.

#include <string>
#include <vector>

#include "platform/dao/RecordCursor.h"

namespace vaultry::dao {

class Connection;

class StaticCursor : public RecordCursor {
public:
    // Runs `sql` (SQLite dialect) with `parameters` to the end. `connection` is not owned.
    StaticCursor(Connection& connection, std::string sql, std::vector<COleVariant> parameters = {});

    bool Restart() override;
    bool Reselect(const SelectStatement&) override { return false; }

    bool First() override { return MoveTo(0); }
    bool Last() override { return MoveTo(static_cast<long>(m_rows.size()) - 1); }
    bool Next() override { return MoveTo(m_index + 1); }
    bool Prev() override { return MoveTo(m_index - 1); }
    bool FindFirst(const std::string& condition) override;
    bool FindNext(const std::string& condition) override;

    bool IsBOF() const override { return m_rows.empty() || m_index < 0; }
    bool IsEOF() const override { return m_rows.empty() || m_index >= Size(); }
    bool HasCurrentRow() const override { return m_index >= 0 && m_index < Size(); }
    long Count() override { return Size(); }

    const std::vector<COleVariant>& Row() const override;
    const std::vector<std::string>& ColumnNames() const override { return m_columns; }

    bool CanUpdate() const override { return false; }
    void UpdateCurrent(FieldChanges changes) override;
    void Insert(FieldChanges changes) override;
    void DeleteCurrent() override;

private:
    long Size() const { return static_cast<long>(m_rows.size()); }
    bool MoveTo(long index);

    Connection& m_connection;
    std::string m_sql;
    std::vector<COleVariant> m_parameters;
    std::vector<std::vector<COleVariant>> m_rows;
    std::vector<std::string> m_columns;
    long m_index = -1;
};

}  // namespace vaultry::dao
