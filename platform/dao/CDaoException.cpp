#include "platform/dao/CDaoException.h"

#include <sqlite3.h>

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
    return m_error.m_strSource == "SQLite" && (m_scode & 0xFF) == SQLITE_ERROR;
}
