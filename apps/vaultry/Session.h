#pragma once
// What every subcommand that works on the configured libraries needs: the reference host
// (settings file, registry, status bar), this module's strings, the three libraries opened
// through the library set, the tiers by name, and the rights of the current user, with a
// password asked for when the rule wants one.

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

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

// "master", "corporate" or "user"; nullopt for anything else.
std::optional<DATABASETYPE> TierFromName(const std::string& name);
const char* TierName(DATABASETYPE type);

class Session {
public:
    // Loads the settings file and opens the three libraries; throws CommandError when they
    // cannot all be opened. The progress bar is drawn only when standard error is a terminal.
    explicit Session(const std::string& configPath, PasswordSource passwords = {});
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Never null while the session lives.
    CMSAccessDBHandler& Tier(DATABASETYPE type) const;
    ReferenceHost& Host() { return m_host; }

    // Makes sure the current user of `type` may change what `ownerID` owns, asking once for the
    // tier's password when the rule wants it; throws CommandError naming `what` when not.
    void RequireRightsOn(DATABASETYPE type, long ownerID, const std::string& what);
    // The same for a category, and for the master tier also the host's master edit permission.
    void RequireRightsOnCategory(DATABASETYPE type, long treeID, const std::string& what);
    // Changes to the master library need the host's permission.
    void RequireMasterEdit(DATABASETYPE type, const std::string& what) const;
    // A new password for `type`: the next line of standard input with --password-stdin, else
    // typed twice on the terminal without echo. Throws CommandError when none can be read or
    // the two differ.
    std::string ReadNewPassword(DATABASETYPE type);

private:
    bool AskPassword(DATABASETYPE type);

    ReferenceHost m_host;
    PasswordSource m_passwords;
    bool m_passwordGiven[4] = {false, false, false, false};
};

}  // namespace vaultry::cli
