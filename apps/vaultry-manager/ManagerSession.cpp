#include "apps/vaultry-manager/ManagerSession.h"

#include <iostream>

#include "access/LibrarySet.h"
#include "access/ModuleAttachment.h"
#include "apps/vaultry/LibraryCommands.h"
#include "apps/vaultry/Session.h"
#include "dialogs/LibraryDialogs.h"
#include "host/BuiltInPlugIns.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/ui/CDialog.h"

namespace vaultry::manager {

ManagerSession::ManagerSession(const std::string& configPath, bool messageBoxes)
    : m_host(configPath) {
    RegisterBuiltInPlugIns();
    VaultryAttachModule();
    if (messageBoxes) {
        InstallQtMessageBoxes();
    }
    InstallLibraryDialogs();
    // What was made is said on standard error: standard output carries the part chosen.
    cli::ShowProgressOnlyOnTerminal(m_host);
    if (!cli::MakeMissingLibraries(m_host, std::cerr)) {
        UnloadDB();
        VaultryDetachModule();
        const char* why =
            "The part libraries could not all be made and opened. The settings file names them; "
            "\"vaultry check\" looks for damage.";
        AfxMessageBox(why, MB_OK | MB_ICONERROR);
        throw cli::CommandError("the libraries could not all be made and opened");
    }
}

ManagerSession::~ManagerSession() {
    UnloadDB();
    VaultryDetachModule();
}

}  // namespace vaultry::manager
