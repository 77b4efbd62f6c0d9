#include "platform/afx/CException.h"

#include <cstring>

CString CArchiveException::GetErrorMessage() const {
    switch (m_cause) {
        case endOfFile:
            return "The archive ended before the data it announced.";
        case badClass:
            return "The archive names a class that is unknown or of the wrong kind.";
        case badSchema:
            return "The archive holds data of an unsupported layout.";
        case badIndex:
            return "The archive refers to an object it never wrote.";
        default:
            return "The archive could not be read or written.";
    }
}

CString CFileException::GetErrorMessage() const {
    CString text;
    text.Format("%s: %s", m_strFileName.GetString(),
                m_lOsError ? std::strerror(m_lOsError) : "file operation failed");
    return text;
}
