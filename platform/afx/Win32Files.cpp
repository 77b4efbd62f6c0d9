#include "platform/afx/Win32Files.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

DWORD GetFileAttributesA(const char* path) {
    struct stat info {};
    if (::stat(path, &info) != 0) {
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD attributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : 0;
    if ((info.st_mode & S_IWUSR) == 0) {
        attributes |= FILE_ATTRIBUTE_READONLY;
    }
    return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}

bool SetFileAttributesA(const char* path, DWORD attributes) {
    struct stat info {};
    if (::stat(path, &info) != 0) {
        return false;
    }
    const mode_t writable = S_IWUSR;
    const mode_t mode = (attributes & FILE_ATTRIBUTE_READONLY) ? (info.st_mode & ~writable)
                                                               : (info.st_mode | writable);
    return ::chmod(path, mode & 07777) == 0;
}

CString AfxGetLogonUserName() {
    if (const passwd* entry = ::getpwuid(::geteuid()); entry != nullptr && entry->pw_name) {
        return entry->pw_name;
    }
    const char* user = std::getenv("USER");
    return user ? user : "";
}
