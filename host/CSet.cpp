#include "host/CSet.h"

namespace {
CSet* g_settings = nullptr;
}

void CSet::SetMasterEditPermission(void* context, MasterEditCallback callback) {
    m_masterEditContext = context;
    m_masterEditCallback = callback;
}

bool CSet::MayEditMaster() const {
    if (m_masterEditCallback == nullptr) {
        return false;
    }
    BOOL allowed = FALSE;
    m_masterEditCallback(m_masterEditContext, allowed);
    return allowed != FALSE;
}

CSet* GetSettings() {
    return g_settings;
}

void SetSettings(CSet* settings) {
    g_settings = settings;
}

bool MasterEditPermitted() {
    const CSet* settings = GetSettings();
    return settings != nullptr && settings->MayEditMaster();
}
