#include "apps/vaultry/Session.h"

#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "access/CMSAccessDBHandler.h"
#include "access/ChangeRefused.h"
#include "access/LibraryFiles.h"
#include "access/LibrarySet.h"
#include "access/ModuleAttachment.h"
#include "access/TierPaths.h"
#include "apps/vaultry/OpenFailure.h"
#include "host/BuiltInPlugIns.h"
#include "platform/afx/AfxMessageBox.h"

namespace vaultry::cli {
namespace {

// Reads one line from the terminal with echo off; nullopt when there is no terminal or the
// input ended (an ended input is no empty password).
std::optional<std::string> PromptWithoutEcho(const std::string& prompt) {
    if (!::isatty(STDIN_FILENO)) {
        return std::nullopt;
    }
    std::cerr << prompt << std::flush;
    termios saved{};
    ::tcgetattr(STDIN_FILENO, &saved);
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    std::cerr << "\n";
    return read ? std::optional(line) : std::nullopt;
}

}  // namespace

void ShowProgressOnlyOnTerminal(ReferenceHost& host) {
    if (!::isatty(STDERR_FILENO)) {
        host.Settings().SetStatusBar(nullptr);
    }
}

void Attempt(const std::string& what, const std::function<void()>& change) {
    try {
        change();
    } catch (const ChangeRefused& refused) {
        const bool locked = refused.GetReason() == ChangeRefused::Reason::kMasterLocked;
        throw CommandError(what + ": " + refused.what() +
                           (locked ? " (set master_edit = yes in the [host] section of the "
                                     "settings file)"
                                   : ""));
    }
}

std::optional<DATABASETYPE> TierFromName(const std::string& name) {
    for (const DATABASETYPE type : kTiersUserFirst) {
        if (name == TierName(type)) {
            return type;
        }
    }
    return std::nullopt;
}

const char* TierName(DATABASETYPE type) {
    switch (type) {
        case DATABASETYPE_USER:
            return "user";
        case DATABASETYPE_CORPORATE:
            return "corporate";
        default:
            return "master";
    }
}

Session::Session(const std::string& configPath, PasswordSource passwords)
    : m_host(configPath),
      m_passwords(passwords),
      m_rights([this](DATABASETYPE type) { return AskPassword(type); }) {
    RegisterBuiltInPlugIns();
    VaultryAttachModule();
    ShowProgressOnlyOnTerminal(m_host);
    // The libraries tell what failed in message boxes: said here once, in one line.
    std::vector<CString> told;
    if (!OpenHoldingMessages(AssureDBLoaded, told)) {
        const std::string problem = WhyLibrariesNotOpened(m_host.Settings(), told);
        UnloadDB();
        VaultryDetachModule();
        throw CommandError(problem);
    }
    for (const CString& text : told) {
        AfxMessageBox(text, MB_OK);
    }
}

Session::~Session() {
    UnloadDB();
    VaultryDetachModule();
}

CMSAccessDBHandler& Session::Tier(DATABASETYPE type) const {
    return *GetAccessDB(type);
}

std::string Session::ReadNewPassword(DATABASETYPE type) {
    if (m_passwords.fromStdin) {
        std::string line;
        if (!std::getline(std::cin, line)) {
            throw CommandError("passwd: no new password on standard input");
        }
        return line;
    }
    const std::string library = std::string("the ") + TierName(type) + " library";
    const auto first = PromptWithoutEcho("New password for " + library + ": ");
    if (!first) {
        throw CommandError("passwd: no terminal to ask on (give --password-stdin)");
    }
    const auto second = PromptWithoutEcho("The same again: ");
    if (!second || *second != *first) {
        throw CommandError("passwd: the two passwords differ; nothing changed");
    }
    return *first;
}

// Asked once per tier: the password given counts for the tier until the session ends, as the
// password dialog's does, and a wrong one is not asked for again.
std::optional<CString> Session::AskPassword(DATABASETYPE type) {
    if (m_passwordAsked[type]) {
        return std::nullopt;
    }
    m_passwordAsked[type] = true;
    std::optional<std::string> password;
    if (m_passwords.fromStdin) {
        std::string line;
        if (std::getline(std::cin, line)) {
            password = line;
        }
    } else if (const char* fromEnvironment = std::getenv("VAULTRY_PASSWORD")) {
        password = fromEnvironment;
    } else {
        password =
            PromptWithoutEcho(std::string("Password for the ") + TierName(type) + " library: ");
    }
    return password ? std::optional<CString>(password->c_str()) : std::nullopt;
}

}  // namespace vaultry::cli
