#pragma once
// Tells what a library file is: its generation, version and the rows of each table, or in one
// line why it is not a usable library.

#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/afx/CString.h"
#include "tables/LibrarySchema.h"

namespace vaultry::tables {

// A file that is no usable library; what() is a one-line reason.
class UnusableLibrary : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct LibraryReport {
    Generation generation = Generation::kCurrent;
    CString version;                                  // of SYS_INFO; empty when it has none
    std::vector<std::pair<CString, long>> rowCounts;  // per table of the schema, in its order
};

class LibraryExaminer {
public:
    // Throws UnusableLibrary (wrong password, not a database, missing tables, ...).
    static LibraryReport Inspect(const CString& path);
    // False only when the database at `path` opens and has no library tables (a schema on a
    // server where none was made yet); what cannot be opened may be a library.
    static bool HoldsLibrary(const CString& path);
};

}  // namespace vaultry::tables
