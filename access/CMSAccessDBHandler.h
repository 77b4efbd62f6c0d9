#pragma once
// The one object through which everything reaches the library database of a tier: it finds
// the tier's file through the host's settings, opens it with its generation's password, checks
// its version, and keeps the current user of the database.
//
// A handler is Closed after construction; IsInitialized opens it (and re-opens it when the
// configured path changed); Close returns it to Closed. The owner closes it before deleting it.

#include <functional>

#include "access/DatabaseType.h"
#include "platform/dao/CDaoDatabase.h"

class CDaoException;
class CDaoWorkspace;
class CDatabaseRegistry;
class CRSObjects;
class CRSObjectTree;
class CRSObjectTypes;
class CRSUserTree;

// Runs the dialog that sets a database password: it opens with `password` in both of its
// fields and, on OK, leaves the typed password there. Returns IDOK or IDCANCEL.
using NewPasswordDialog = std::function<int(CString& password)>;

class CMSAccessDBHandler : public CDaoDatabase {
public:
    // Opens nothing. `workspace` is not owned.
    CMSAccessDBHandler(DATABASETYPE type, CDaoWorkspace* workspace);
    ~CMSAccessDBHandler() override;

    // Makes sure the handler is open on the file now configured for `type` and has a current
    // user. False when the file could not be found, opened or checked (the user has been told).
    bool IsInitialized(DATABASETYPE type);
    // 1 when the open database carries a version text "V<number>" of at least 8, else 0.
    int CheckV8DatabaseFormat();
    // Remembers the current user as "LastUserID", forgets it, and closes the database.
    void Close() override;

    int IsV8Batadase() const { return m_bIsV8Database; }
    DATABASETYPE GetDatabaseType() const { return m_eDatabaseType; }

    // The record sets of the open database; null while the handler is not initialised. Not
    // owned by the caller.
    CRSObjects* GetRSObjects() const { return m_pRSObjects; }
    CRSUserTree* GetRSUserTree() const { return m_pRSUserTree; }
    CRSObjectTree* GetRSObjectTree() const { return m_pRSObjectTree; }
    CRSObjectTypes* GetRSObjectTypes() const { return m_pRSObjectTypes; }

    // The current user: -1 while closed.
    long GetUserID() const { return m_lUserID; }
    // The current user becomes the first user of the database (0 when it has none).
    void InitUserID();
    // The second argument has no effect; kept for callers that pass it.
    void SetUserID(long userID, bool);
    // Whether the current user may change what `lOwnerID` owns (the user set's rights rule);
    // false while the handler is not initialised.
    bool HasRightsOn(long lOwnerID);
    // Lets the user set the password of the current user through the new-password dialog.
    void SetNewPassword();
    // Installs the dialog SetNewPassword runs (none: it is cancelled) and returns the previous.
    static NewPasswordDialog SetNewPasswordDialog(NewPasswordDialog dialog);
    // Not owned by the caller.
    CDatabaseRegistry* GetRegistry() const { return m_pRegistry; }

    // The log-on name of the user running the program.
    void GetPCUserName(CString& name) const;

protected:
    // Resolves the path, opens the file, checks it. False (after telling the user) on failure.
    bool InitializeDatabase();

private:
    void OpenAndCheck(const CString& path, int isV8);
    void ReportOpenError(const CDaoException& error) const;
    void MakeRecordSets();
    void DeleteRecordSets();

    long m_lCommonBlockTypeID = -1;
    const DATABASETYPE m_eDatabaseType;
    int m_bIsV8Database = 0;
    bool m_bInitialized = false;
    long m_lUserID = -1;
    bool m_bMayWrite = true;  // the current user's write right, kept for the host to consult
    CRSObjects* m_pRSObjects = nullptr;          // owned while initialised
    CRSUserTree* m_pRSUserTree = nullptr;        // owned while initialised
    CRSObjectTree* m_pRSObjectTree = nullptr;    // owned while initialised
    CRSObjectTypes* m_pRSObjectTypes = nullptr;  // owned while initialised
    CDatabaseRegistry* m_pRegistry;              // owned
};
