#pragma once
// The test every change of a library passes before it writes anything. The master library
// changes only with the host's permission; and the current user must have the rights on what
// the change touches, the rights rule of the tier's users deciding, after the user was asked
// for the tier's password when the rule wants one.

#include <functional>
#include <optional>

#include "platform/afx/CString.h"
#include "resources/DatabaseType.h"

class CMSAccessDBHandler;

class RightsGate {
public:
    // Asks the user for the password of a tier; nullopt when the user gives none. The password
    // given counts for the tier until its handler closes.
    using PasswordPrompt = std::function<std::optional<CString>(DATABASETYPE tier)>;

    enum class Verdict { kAllowed, kMasterLocked, kNoPassword, kOtherOwner };

    // Without a prompt nobody is asked, and what needs a password is refused.
    explicit RightsGate(PasswordPrompt prompt = {}) : m_prompt(std::move(prompt)) {}

    // May the current user of `library` change what `ownerID` owns there? Asks for the
    // password when the owner is the current user and the rule wants it.
    Verdict Check(CMSAccessDBHandler& library, long ownerID);
    // Throws ChangeRefused with the verdict's reason unless it is kAllowed.
    void Require(CMSAccessDBHandler& library, long ownerID);
    // The same for the owner of a category or a part; ChangeRefused also when it is missing.
    void RequireOnCategory(CMSAccessDBHandler& library, long treeID);
    void RequireOnPart(CMSAccessDBHandler& library, long objectID);
    // Throws ChangeRefused when `library` is the master library and the host does not allow
    // changing it.
    static void RequireChangeable(CMSAccessDBHandler& library);

private:
    PasswordPrompt m_prompt;
};
