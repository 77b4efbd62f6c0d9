#include "platform/dao/CDaoException.h"

#include <sqlite3.h>

#include "platform/dao/SqlState.h"

CDaoException::CDaoException(long errorCode, CString source, CString description, int afxDaoError)
    : m_scode(errorCode), m_nAfxDaoError(afxDaoError) {
    m_error.m_lErrorCode = errorCode;
    m_error.m_strSource = std::move(source);
    m_error.m_strDescription = std::move(description);
    m_pErrorInfo = m_error;
}

CString CDaoException::GetErrorMessage() const {
    return m_error.m_strDescription;
}

void CDaoException::GetErrorInfo(int) {
    m_pErrorInfo = m_error;
}

bool CDaoException::IsStatementRefused() const {
    if (m_error.m_strSource == vaultry::dao::kPostgresSource) {
        // Class 42: syntax error or access rule violation (no such table or column, say).
        return (m_scode & 0xFFF) == vaultry::dao::PackSqlState("42");
    }
    return m_error.m_strSource == "SQLite" && (m_scode & 0xFF) == SQLITE_ERROR;
}
