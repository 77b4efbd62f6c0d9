#include "access/LibrarySet.h"

#include "access/CMSAccessDBHandler.h"
#include "platform/dao/CDaoWorkspace.h"

namespace {

CDaoWorkspace* g_workspace = nullptr;
CMSAccessDBHandler* g_master = nullptr;
CMSAccessDBHandler* g_corporate = nullptr;
CMSAccessDBHandler* g_user = nullptr;

}  // namespace

CMSAccessDBHandler* GetAccessDB(DATABASETYPE type) {
    switch (type) {
        case DATABASETYPE_CORPORATE:
            return g_corporate;
        case DATABASETYPE_USER:
            return g_user;
        default:
            return g_master;
    }
}

bool AssureDBLoaded() {
    if (g_master == nullptr) {
        if (g_workspace == nullptr) {
            g_workspace = new CDaoWorkspace;
            g_workspace->Open();
        }
        g_master = new CMSAccessDBHandler(DATABASETYPE_MASTER, g_workspace);
    }
    if (g_corporate == nullptr) {
        g_corporate = new CMSAccessDBHandler(DATABASETYPE_CORPORATE, g_workspace);
    }
    if (g_user == nullptr) {
        g_user = new CMSAccessDBHandler(DATABASETYPE_USER, g_workspace);
    }
    return g_master->IsInitialized(DATABASETYPE_MASTER) &&
           g_corporate->IsInitialized(DATABASETYPE_CORPORATE) &&
           g_user->IsInitialized(DATABASETYPE_USER);
}

void UnloadDB() {
    for (CMSAccessDBHandler* handler : {g_master, g_corporate, g_user}) {
        if (handler != nullptr) {
            handler->Close();
        }
    }
    if (g_workspace != nullptr) {
        g_workspace->Close();
        delete g_workspace;
        g_workspace = nullptr;
    }
    for (CMSAccessDBHandler** handler : {&g_corporate, &g_user, &g_master}) {
        delete *handler;
        *handler = nullptr;
    }
}
