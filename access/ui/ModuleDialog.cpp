#include "access/ui/ModuleDialog.h"

#include "host/HostHelp.h"
#include "resources/CDllResourceHandler.h"
#include "resources/VaultryModule.h"

INT_PTR CModuleDialog::DoModal() {
    CDllResourceHandler restore;
    AfxSetResourceHandle(VaultryModuleInstance());
    return CDialog::DoModal();
}

BOOL CModuleDialog::OnHelpInfo(UINT helpId) {
    SetHelpDllInstance(VaultryModuleInstance(), helpId);
    return CDialog::OnHelpInfo(helpId);
}
