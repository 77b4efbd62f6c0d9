#pragma once
// The one object through which everything reaches the library database of a tier: it finds
// the tier's file through the host's settings, opens it with its generation's password, checks
// its version, and keeps the current user of the database.
//
// A handler is Closed after construction; IsInitialized opens it (and re-opens it when the
// configured path changed); Close returns it to Closed. The owner closes it before deleting it.

#include <memory>

#include "access/DatabaseType.h"
#include "platform/dao/CDaoDatabase.h"

class CDaoException;
class CDaoWorkspace;
class CDatabaseRegistry;

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
    long GetUserID() const { return m_lUserID; }
    // The current user becomes the first user of the database (0 when it has none).
    void InitUserID();
    // Not owned by the caller.
    CDatabaseRegistry* GetRegistry() const { return m_pRegistry; }

    // The log-on name of the user running the program.
    void GetPCUserName(CString& name) const;

protected:
    // Resolves the path, opens the file, checks it. False (after telling the user) on failure.
    bool InitializeDatabase();

private:
    bool OpenAndCheck(const CString& path, int isV8);
    void ReportOpenError(const CDaoException& error) const;

    long m_lCommonBlockTypeID = -1;
    const DATABASETYPE m_eDatabaseType;
    int m_bIsV8Database = 0;
    bool m_bInitialized = false;
    long m_lUserID = -1;
    bool m_bMayWrite = true;
    CDatabaseRegistry* m_pRegistry;  // owned
};
