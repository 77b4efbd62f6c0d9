#include "tables/TierRights.h"

#include "platform/dao/CDaoDatabase.h"

namespace vaultry::tables {

TierRights* TierRights::Of(CDaoDatabase* database) {
    return dynamic_cast<TierRights*>(database);
}

}  // namespace vaultry::tables
