#include "access/TierPaths.h"

#include "host/CSet.h"

CString ConfiguredLibraryPath(const CSet& settings, DATABASETYPE type) {
    switch (type) {
        case DATABASETYPE_MASTER:
            return settings.GetMasterLibraryPath();
        case DATABASETYPE_CORPORATE:
            return settings.GetCorporateLibraryPath();
        default:
            return settings.GetUserDatabasePath();
    }
}

void StoreLibraryPath(CSet& settings, DATABASETYPE type, const CString& path) {
    switch (type) {
        case DATABASETYPE_MASTER:
            settings.SetMasterLibraryPath(path);
            break;
        case DATABASETYPE_CORPORATE:
            settings.SetCorporateLibraryPath(path);
            break;
        default:
            settings.SetUserLibraryPath(path);
            break;
    }
}
