#pragma once
// What every subcommand that works on the configured libraries needs: the reference host
// (settings file, registry, status bar), this module's strings, the three libraries opened
// through the library set, the tiers by name, and the rights of the current user, with a
// password asked for when the rule wants one.

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "access/LibraryEditor.h"
#include "access/RightsGate.h"
#include "host/ReferenceHost.h"
#include "resources/DatabaseType.h"

class CMSAccessDBHandler;

namespace vaultry::cli {

// A refusal or failure the user is told about in one line; the program exits with status 1.
class CommandError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where a password comes from when the rights rule asks for one: standard input, the
// environment variable VAULTRY_PASSWORD, or a prompt on the terminal without echo. Never an
// argument, which other users could read in the process list.
struct PasswordSource {
    bool fromStdin = false;
};

// The master, corporate and user tier, in the order the dialogs list parts: user first.
inline constexpr DATABASETYPE kTiersUserFirst[] = {DATABASETYPE_USER, DATABASETYPE_CORPORATE,
                                                   DATABASETYPE_MASTER};

// Long work draws a progress bar on a terminal and shows nothing in a pipe or a file.
void ShowProgressOnlyOnTerminal(ReferenceHost& host);

// Runs `change`; a change the libraries refuse becomes a CommandError naming `what`.
void Attempt(const std::string& what, const std::function<void()>& change);

// "master", "corporate" or "user"; nullopt for anything else.
std::optional<DATABASETYPE> TierFromName(const std::string& name);
const char* TierName(DATABASETYPE type);

class Session {
public:
    // Loads the settings file and opens the three libraries; throws CommandError, saying which
    // library failed, what is wrong with its file and what to do, when they cannot all be
    // opened. The progress bar is drawn only when standard error is a terminal.
    explicit Session(const std::string& configPath, PasswordSource passwords = {});
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Never null while the session lives.
    CMSAccessDBHandler& Tier(DATABASETYPE type) const;
    ReferenceHost& Host() { return m_host; }
    // The editor of the library of `type`. Where the rights rule wants the tier's password, it
    // is asked for once per tier.
    LibraryEditor Editor(DATABASETYPE type) { return LibraryEditor(Tier(type), m_rights); }
    RightsGate& Rights() { return m_rights; }
    // A new password for `type`: the next line of standard input with --password-stdin, else
    // typed twice on the terminal without echo. Throws CommandError when none can be read or
    // the two differ.
    std::string ReadNewPassword(DATABASETYPE type);

private:
    std::optional<CString> AskPassword(DATABASETYPE type);

    ReferenceHost m_host;
    PasswordSource m_passwords;
    bool m_passwordAsked[4] = {false, false, false, false};
    RightsGate m_rights;
};

}  // namespace vaultry::cli
