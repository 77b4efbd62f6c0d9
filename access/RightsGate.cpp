#include "access/RightsGate.h"

#include "access/CMSAccessDBHandler.h"
#include "access/ChangeRefused.h"
#include "access/WrongPasswordPause.h"
#include "host/CSet.h"
#include "platform/dao/CDaoRecordset.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"
#include "tables/CRSUserTree.h"

namespace {

bool Locked(const CMSAccessDBHandler& library) {
    return library.GetDatabaseType() == DATABASETYPE_MASTER && !MasterEditPermitted();
}

[[noreturn]] void Refuse(ChangeRefused::Reason reason, UINT text) {
    throw ChangeRefused(reason, ModuleString(text));
}

// The owner of row `id` of `table`, as the file holds it now (other writers' rows included);
// refuses with `missing` when there is no such row.
long OwnerOf(CMSAccessDBHandler& library, const char* table, const char* key, long id,
             UINT missing) {
    CString sql;
    sql.Format("SELECT lUserID FROM %s WHERE %s=%ld", table, key, id);
    CDaoRecordset row(&library);
    row.Open(dbOpenSnapshot, sql);
    if (row.IsEOF()) {
        throw ChangeRefused::Invalid(missing);
    }
    return static_cast<long>(row.GetFieldValue(0).AsInt64());
}

}  // namespace

RightsGate::Verdict RightsGate::Check(CMSAccessDBHandler& library, long ownerID) {
    if (Locked(library)) {
        return Verdict::kMasterLocked;
    }
    if (library.HasRightsOn(ownerID)) {
        return Verdict::kAllowed;
    }
    // No password opens another user's property: asking would be no use.
    if (ownerID != library.GetUserID()) {
        return Verdict::kOtherOwner;
    }
    const std::optional<CString> password =
        m_prompt ? m_prompt(library.GetDatabaseType()) : std::nullopt;
    if (!password) {
        return Verdict::kNoPassword;
    }
    if (library.GetRSUserTree() != nullptr) {
        library.GetRSUserTree()->m_strEnteredPassword = *password;
    }
    if (!library.HasRightsOn(ownerID)) {
        WrongPasswordPause::AfterWrongPassword();
        return Verdict::kNoPassword;
    }
    return Verdict::kAllowed;
}

void RightsGate::Require(CMSAccessDBHandler& library, long ownerID) {
    switch (Check(library, ownerID)) {
        case Verdict::kAllowed:
            return;
        case Verdict::kMasterLocked:
            Refuse(ChangeRefused::Reason::kMasterLocked, IDS_MASTER_LOCKED);
        case Verdict::kNoPassword:
            Refuse(ChangeRefused::Reason::kNoRights, IDS_WRONG_PASSWORD);
        case Verdict::kOtherOwner:
            Refuse(ChangeRefused::Reason::kNoRights, IDS_OWNED_BY_OTHER_USER);
    }
}

void RightsGate::RequireOnCategory(CMSAccessDBHandler& library, long treeID) {
    Require(library, OwnerOf(library, "tObjectTree", "lTreeID", treeID, IDS_NO_SUCH_CATEGORY));
}

void RightsGate::RequireOnPart(CMSAccessDBHandler& library, long objectID) {
    Require(library, OwnerOf(library, "tObjects", "lObjectID", objectID, IDS_NO_SUCH_PART));
}

void RightsGate::RequireChangeable(CMSAccessDBHandler& library) {
    if (Locked(library)) {
        Refuse(ChangeRefused::Reason::kMasterLocked, IDS_MASTER_LOCKED);
    }
}
