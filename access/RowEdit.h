#pragma once
// An edit of the current row of a record set (or a new row) that is written by Update or, when
// the scope is left before, cancelled: a failed write never leaves the set in edit mode.

#include "platform/dao/CDaoRecordset.h"

class RowEdit {
public:
    enum class Kind { kCurrentRow, kNewRow };

    // `set` (not owned) must stay open while this lives. Throws CDaoException.
    explicit RowEdit(CDaoRecordset& set, Kind kind = Kind::kCurrentRow) : m_set(set) {
        kind == Kind::kNewRow ? m_set.AddNew() : m_set.Edit();
    }
    ~RowEdit() {
        if (m_set.IsOpen() && m_set.GetEditMode() != dbEditNone) {
            m_set.CancelUpdate();
        }
    }
    RowEdit(const RowEdit&) = delete;
    RowEdit& operator=(const RowEdit&) = delete;

    // Writes the row. Throws CDaoException.
    void Update() { m_set.Update(); }

private:
    CDaoRecordset& m_set;
};
