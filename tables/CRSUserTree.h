#pragma once
// The record set on tUserTree: whether a user exists, may write, has a password; the first
// user; the rights rule; and changing a password. DAO errors reach the caller.

#include "platform/dao/CDaoRecordset.h"

class CRSUserTree : public CDaoRecordset {
public:
    explicit CRSUserTree(CDaoDatabase* pDatabase);

    // True, standing on the user's row, when the user exists.
    bool FindUser(long lUserID);
    bool MayWrite(long lUserID);
    bool HasPassword(long lUserID);
    // "" when the user is not found.
    CString GetUserPassword(long lUserID);
    // Nothing when the user is not found; an empty password removes the protection. A failed
    // write leaves the set without an open edit, and its error reaches the caller.
    void SetUserPassword(long lUserID, const CString& strPassword);
    // Re-opens the set ordered by user id (it stays so) and gives the first id; 0 when the
    // table is empty or cannot be read.
    long GetFirstUserID();
    // Whether the current user may change what `lOwnerID` owns: another user's items when that
    // user has no row or no password; one's own when one's password is empty or was typed
    // (m_strEnteredPassword, compared exactly).
    bool HasRights(long lCurrentUserID, long lOwnerID);

    void Close() override;
    CString GetDefaultSQL() override;
    void DoFieldExchange(CDaoFieldExchange* pFX) override;

    // The password last typed for this database; lives until the handler closes.
    CString m_strEnteredPassword;

    long m_lUserID = 0;
    CString m_strUserName;
    long m_lUserLevel = 0;
    CString m_strPassword;
    long m_lSupervisorID = 0;
    BOOL m_bMayWrite = FALSE;
};
