#pragma once
// A failure of the database engine. Errors from SQLite carry its extended result code in
// m_lErrorCode and m_scode and its message in the description; errors from a PostgreSQL server
// carry its SQLSTATE (packed, see SqlState.h) and its message; failures this layer detects
// itself carry Jet's number and text for the same failure.

#include <optional>

#include "platform/afx/CException.h"
#include "platform/dao/DaoConstants.h"

struct CDaoErrorInfo {
    long m_lErrorCode = 0;
    CString m_strSource;
    CString m_strDescription;
    CString m_strHelpFile;
    long m_lHelpContext = 0;
};

class CDaoException : public CException {
public:
    CDaoException(long errorCode, CString source, CString description,
                  int afxDaoError = NO_AFX_DAO_ERROR);

    CString GetErrorMessage() const override;
    // True when the engine refused a statement as written (a table or column it does not
    // have); false when the file itself failed (an I/O error, a full disk, damage, a lock, no
    // memory) or this layer found the fault.
    bool IsStatementRefused() const;
    // Error information is always present here; this refills it from the exception's own
    // error, as DAO would from its error collection. `index` is kept for the DAO signature.
    void GetErrorInfo(int index);

    long m_scode;
    int m_nAfxDaoError;
    std::optional<CDaoErrorInfo> m_pErrorInfo;

private:
    CDaoErrorInfo m_error;
};
