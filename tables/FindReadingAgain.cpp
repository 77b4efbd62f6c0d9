#include "tables/FindReadingAgain.h"

#include "platform/dao/CDaoRecordset.h"

namespace vaultry::tables {

bool FindReadingAgain(CDaoRecordset& set, const CString& filter) {
    if (set.FindFirst(filter)) {
        return true;
    }
    set.Requery();
    return set.FindFirst(filter) != FALSE;
}

}  // namespace vaultry::tables
