#include "platform/dao/CDaoWorkspace.h"

#include "platform/dao/CDaoDatabase.h"

CDaoWorkspace::~CDaoWorkspace() {
    Close();
}

void CDaoWorkspace::Open(const char* name) {
    m_strName = name ? name : "#Default Workspace#";
    m_bOpen = true;
}

void CDaoWorkspace::Close() {
    // Closing a database detaches it, so work on a copy.
    const std::set<CDaoDatabase*> open = m_databases;
    for (CDaoDatabase* database : open) {
        database->Close();
    }
    m_bOpen = false;
}
