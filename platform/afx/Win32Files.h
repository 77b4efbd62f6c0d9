#pragma once
// The few Win32 file and account calls the system makes, over POSIX. A file is read-only when
// its owner may not write it.

#include "platform/afx/CString.h"

constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

// INVALID_FILE_ATTRIBUTES when `path` does not exist.
DWORD GetFileAttributesA(const char* path);
// Sets or clears the read-only attribute; the other bits are ignored. False on failure.
bool SetFileAttributesA(const char* path, DWORD attributes);
// The log-on name of the user running the process; empty when it cannot be found.
CString AfxGetLogonUserName();
