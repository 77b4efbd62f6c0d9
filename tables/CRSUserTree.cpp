#include "tables/CRSUserTree.h"

#include "platform/dao/CDaoException.h"
#include "platform/dao/CDaoFieldExchange.h"

CRSUserTree::CRSUserTree(CDaoDatabase* pDatabase) : CDaoRecordset(pDatabase) {
    m_nFields = 6;
    m_nDefaultType = dbOpenDynaset;
}

CString CRSUserTree::GetDefaultSQL() {
    return "SELECT tUserTree.* FROM tUserTree";
}

void CRSUserTree::DoFieldExchange(CDaoFieldExchange* pFX) {
    DFX_Long(pFX, "[lUserID]", m_lUserID);
    DFX_Text(pFX, "[strUserName]", m_strUserName);
    DFX_Long(pFX, "[lUserLevel]", m_lUserLevel);
    DFX_Text(pFX, "[strPassword]", m_strPassword);
    DFX_Long(pFX, "[lSupervisorID]", m_lSupervisorID);
    DFX_Bool(pFX, "[bMayWrite]", m_bMayWrite);
}

void CRSUserTree::Close() {
    if (IsOpen()) {
        CDaoRecordset::Close();
    }
}

bool CRSUserTree::FindUser(long lUserID) {
    CString filter;
    filter.Format("lUserID=%li", lUserID);
    if (!IsOpen()) {
        Open();
    }
    return IsOpen() && FindFirst(filter);
}

bool CRSUserTree::MayWrite(long lUserID) {
    return FindUser(lUserID) && m_bMayWrite;
}

bool CRSUserTree::HasPassword(long lUserID) {
    return FindUser(lUserID) && !m_strPassword.IsEmpty();
}

CString CRSUserTree::GetUserPassword(long lUserID) {
    return FindUser(lUserID) ? m_strPassword : CString();
}

void CRSUserTree::SetUserPassword(long lUserID, const CString& strPassword) {
    if (!FindUser(lUserID)) {
        return;
    }
    Edit();
    m_strPassword = strPassword;
    try {
        Update();
    } catch (const CDaoException&) {
        CancelUpdate();  // the set stays usable; the error is the caller's to report
        throw;
    }
}

long CRSUserTree::GetFirstUserID() {
    Close();
    try {
        Open(AFX_DAO_USE_DEFAULT_TYPE, "SELECT tUserTree.* FROM tUserTree ORDER BY lUserID ASC");
    } catch (const CDaoException&) {
        return 0;  // a set that cannot be opened has no first user
    }
    return IsEOF() ? 0 : m_lUserID;
}

bool CRSUserTree::HasRights(long lCurrentUserID, long lOwnerID) {
    if (lCurrentUserID != lOwnerID) {
        return !FindUser(lOwnerID) || m_strPassword.IsEmpty();
    }
    return FindUser(lOwnerID) && (m_strPassword.IsEmpty() || m_strPassword == m_strEnteredPassword);
}
