#pragma once
// The host's rules for library file names and places.

#include "platform/afx/CString.h"

// The extension of current-generation library files.
inline constexpr const char* kLibraryExtension = ".zblib";

// 1 when `path` names a current-generation library (".zblib", in any case, or a library on a
// server), else 0.
int IsV8DatadaseFileName(const char* path);

// Nonzero when `path` names a usable library file, or a library on a server. A relative path, or an
// absolute one whose file is gone, is looked for in `folder` by its file name; when found there,
// `path` is rewritten to that file.
int CheckDBFileExist(CString& path, const CString& folder);
