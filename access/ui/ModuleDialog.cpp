#include "access/ui/ModuleDialog.h"

#include "access/VaultryModule.h"
#include "host/HostHelp.h"

CDllResourceHandler::CDllResourceHandler() : m_hSavedInstance(AfxGetResourceHandle()) {}

CDllResourceHandler::~CDllResourceHandler() {
    AfxSetResourceHandle(m_hSavedInstance);
}

INT_PTR CModuleDialog::DoModal() {
    CDllResourceHandler restore;
    AfxSetResourceHandle(VaultryModuleInstance());
    return CDialog::DoModal();
}

BOOL CModuleDialog::OnHelpInfo(UINT helpId) {
    SetHelpDllInstance(VaultryModuleInstance(), helpId);
    return CDialog::OnHelpInfo(helpId);
}
