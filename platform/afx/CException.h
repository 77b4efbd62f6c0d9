#pragma once
// MFC's exception family. They are thrown by value and caught by const reference; where MFC
// code "deletes" a caught exception, leaving the handler is all that is needed.

#include "platform/afx/CString.h"

class CException {
public:
    virtual ~CException() = default;
    // A readable description of the failure.
    virtual CString GetErrorMessage() const = 0;
};

class CMemoryException : public CException {
public:
    CString GetErrorMessage() const override { return "Out of memory."; }
};

class CArchiveException : public CException {
public:
    enum Cause { none = 0, generic = 1, badIndex = 4, badClass = 5, badSchema = 6, endOfFile = 8 };

    explicit CArchiveException(Cause cause) : m_cause(cause) {}
    CString GetErrorMessage() const override;

    Cause m_cause;
};

class CFileException : public CException {
public:
    enum Cause {
        none = 0,
        generic = 1,
        fileNotFound = 2,
        accessDenied = 5,
        diskFull = 13,
        endOfFile = 14
    };

    CFileException(Cause cause, CString fileName, int osError = 0)
        : m_cause(cause), m_strFileName(std::move(fileName)), m_lOsError(osError) {}
    CString GetErrorMessage() const override;

    Cause m_cause;
    CString m_strFileName;
    int m_lOsError;
};
