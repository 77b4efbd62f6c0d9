#include "access/LibraryFiles.h"

#include <filesystem>

#include "platform/dao/ServerLocation.h"
#include "resources/VaultryModule.h"

void LibraryFiles::Create(const CString& path, DATABASETYPE tier, Generation generation) {
    if (!vaultry::dao::IsServerLocation(path.str())) {
        std::error_code ignored;  // a folder that cannot be made shows as the file not being made
        std::filesystem::create_directories(std::filesystem::path(path.str()).parent_path(),
                                            ignored);
    }
    vaultry::tables::LibrarySchema::CreateLibrary(path, TierTitle(tier), generation);
}

bool LibraryFiles::Exists(const CString& path) {
    if (!vaultry::dao::IsServerLocation(path.str())) {
        std::error_code error;
        return std::filesystem::exists(path.str(), error);
    }
    return vaultry::tables::LibraryExaminer::HoldsLibrary(path);
}

LibraryFiles::Report LibraryFiles::Inspect(const CString& path) {
    return vaultry::tables::LibraryExaminer::Inspect(path);
}
