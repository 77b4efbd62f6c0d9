#include "host/CPathString.h"

#include <sys/stat.h>
#include <unistd.h>

bool CPathString::FileExists() const {
    struct stat info {};
    return !IsEmpty() && ::stat(GetString(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool CPathString::IsPath() const {
    struct stat info {};
    return !IsEmpty() && ::stat(GetString(), &info) == 0 && S_ISDIR(info.st_mode);
}

void CPathString::SetPathTerminator() {
    if (IsEmpty() || GetAt(GetLength() - 1) != '/') {
        *this += '/';
    }
}

void CPathString::SetExt(const char* extension) {
    const int slash = ReverseFind('/');
    const int dot = ReverseFind('.');
    const CString stem = dot > slash + 1 ? Left(dot) : CString(*this);
    static_cast<CString&>(*this) = stem + extension;
}

bool CPathString::FileRemove() const {
    return ::unlink(GetString()) == 0;
}
