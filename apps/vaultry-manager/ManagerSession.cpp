#include "apps/vaultry-manager/ManagerSession.h"

#include <cctype>
#include <iostream>
#include <vector>

#include "access/LibrarySet.h"
#include "access/ModuleAttachment.h"
#include "apps/vaultry/LibraryCommands.h"
#include "apps/vaultry/OpenFailure.h"
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
    // The libraries tell what failed in message boxes of their own; held back here, so that the
    // user gets one box that names the file, what is wrong with it and what to do.
    std::vector<CString> told;
    if (!cli::OpenHoldingMessages([this] { return cli::MakeMissingLibraries(m_host, std::cerr); },
                                  told)) {
        std::string why = cli::WhyLibrariesNotOpened(m_host.Settings(), told);
        UnloadDB();
        VaultryDetachModule();
        why[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(why[0])));
        AfxMessageBox((why + ".").c_str(), MB_OK | MB_ICONERROR);
        throw cli::CommandError(why);
    }
    for (const CString& text : told) {
        AfxMessageBox(text, MB_OK);
    }
}

ManagerSession::~ManagerSession() {
    UnloadDB();
    VaultryDetachModule();
}

}  // namespace vaultry::manager
