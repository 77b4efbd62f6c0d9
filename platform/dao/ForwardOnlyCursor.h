#pragma once
// A forward-only snapshot: the statement's rows read one at a time as the set moves on, never
// held all at once and never updated. For walks over many rows, first to last, where holding
// every row would cost memory and time for nothing. Only the first move (onto the first row)
// and Next are offered; the statement holds its read of the file until the last row is passed
// or the cursor goes.

#include <optional>
#include <string>
#include <vector>

#include "platform/dao/Connection.h"
#include "platform/dao/RecordCursor.h"

namespace vaultry::dao {

class ForwardOnlyCursor : public RecordCursor {
public:
    // Runs `sql` (SQLite dialect) with `parameters` and stands on its first row. `connection`
    // is not owned.
    ForwardOnlyCursor(Connection& connection, std::string sql,
                      std::vector<COleVariant> parameters = {});

    bool Restart() override;
    bool Reselect(const SelectStatement&) override { return false; }

    // First succeeds only on the first row, where the cursor already stands.
    bool First() override;
    bool Last() override;
    bool Next() override;
    bool Prev() override;
    bool FindFirst(const std::string& condition) override;
    bool FindNext(const std::string& condition) override;

    bool IsBOF() const override { return m_visited == 0 && m_done; }
    bool IsEOF() const override { return m_done; }
    bool HasCurrentRow() const override { return !m_done; }
    // The rows visited so far, as DAO counts them for a forward-only set.
    long Count() override { return m_visited; }

    const std::vector<COleVariant>& Row() const override { return m_row; }
    const std::vector<std::string>& ColumnNames() const override { return m_columns; }

    bool CanUpdate() const override { return false; }
    void UpdateCurrent(FieldChanges changes) override;
    void Insert(FieldChanges changes) override;
    void DeleteCurrent() override;

private:
    bool Step();
    bool Took(bool found);

    Connection& m_connection;
    std::string m_sql;
    std::vector<COleVariant> m_parameters;
    std::optional<Connection::Lease> m_statement;  // while rows remain
    std::vector<std::string> m_columns;
    std::vector<COleVariant> m_row;
    long m_visited = 0;
    bool m_done = true;
};

}  // namespace vaultry::dao
