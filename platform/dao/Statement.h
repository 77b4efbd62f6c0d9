#pragma once
// A prepared statement of one database engine. Errors throw CDaoException with the engine's
// own code and message.

#include <cstdint>
#include <vector>

#include "platform/afx/COleVariant.h"

namespace vaultry::dao {

class Statement {
public:
    virtual ~Statement() = default;

    // Parameters count from 1.
    virtual void Bind(int index, const COleVariant& value) = 0;
    virtual void BindInt64(int index, std::int64_t value) = 0;
    // `values` in order, from parameter `first` on.
    void BindAll(const std::vector<COleVariant>& values, int first = 1) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            Bind(first + static_cast<int>(i), values[i]);
        }
    }
    // True when a row is ready, false when the statement is done.
    virtual bool Step() = 0;
    // Whether running it leaves the database as it was.
    virtual bool IsReadOnly() const = 0;
    // Ready to run again, with no parameters bound. Releases what the run held of the database.
    virtual void Reset() = 0;

    virtual int ColumnCount() const = 0;
    virtual const char* ColumnName(int column) const = 0;
    virtual COleVariant Column(int column) const = 0;
    virtual std::int64_t ColumnInt64(int column) const = 0;
};

}  // namespace vaultry::dao
