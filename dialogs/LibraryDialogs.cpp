#include "dialogs/LibraryDialogs.h"

#include "access/CMSAccessDBHandler.h"
#include "access/ui/PasswordDialogs.h"
#include "dialogs/CDatabaseManagerDlg.h"

void InstallLibraryDialogs() {
    InstallPasswordDialogs();
    CMSAccessDBHandler::SetDatabaseManagerDialog([] {
        CDatabaseManagerDlg dialog(nullptr);
        dialog.DoModal();
    });
}
