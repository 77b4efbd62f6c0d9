#pragma once
// A file path with the small file operations the library module needs.

#include "platform/afx/CString.h"

class CPathString : public CString {
public:
    CPathString() = default;
    CPathString(const CString& path) : CString(path) {}  // NOLINT: used as a CString
    CPathString(const char* path) : CString(path) {}     // NOLINT

    // True when a file (not a folder) exists at the path.
    bool FileExists() const;
    // True when the path names an existing folder.
    bool IsPath() const;
    // Ends the path with a separator when it does not end with one.
    void SetPathTerminator();
    // Replaces the extension of the last component (`extension` with its dot, e.g. ".ldb"), or
    // adds one when there is none.
    void SetExt(const char* extension);
    // Deletes the file; false when it could not be deleted.
    bool FileRemove() const;
};
