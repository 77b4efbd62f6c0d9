#pragma once
// A record set holds the rows there were when it was last read: a row another program added
// since is not among them. A lookup that must see such rows finds, and on a miss reads the set
// again and finds once more, so that the common hit costs no second read.

#include "platform/afx/CString.h"

class CDaoRecordset;

namespace vaultry::tables {

// FindFirst(filter) on `set` (open), reading the set again once when nothing is found.
bool FindReadingAgain(CDaoRecordset& set, const CString& filter);

}  // namespace vaultry::tables
