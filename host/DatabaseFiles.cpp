#include "host/DatabaseFiles.h"

#include <filesystem>

#include "host/CPathString.h"
#include "platform/dao/ServerLocation.h"

int IsV8DatadaseFileName(const char* path) {
    if (path != nullptr && vaultry::dao::IsServerLocation(path)) {
        return 1;
    }
    const CString text(path ? path : "");
    const int slash = text.ReverseFind('/');
    const int dot = text.ReverseFind('.');
    return dot > slash && text.Mid(dot).CompareNoCase(kLibraryExtension) == 0 ? 1 : 0;
}

int CheckDBFileExist(CString& path, const CString& folder) {
    if (path.IsEmpty()) {
        return 0;
    }
    if (vaultry::dao::IsServerLocation(path.str())) {
        return 1;  // whether the server has it shows when it is opened
    }
    const std::filesystem::path given(path.str());
    if (given.is_absolute() && CPathString(path).FileExists()) {
        return 1;
    }
    if (folder.IsEmpty()) {
        return 0;
    }
    const std::filesystem::path inFolder = std::filesystem::path(folder.str()) / given.filename();
    if (!CPathString(inFolder.string()).FileExists()) {
        return 0;
    }
    path = inFolder.string();
    return 1;
}
