#include "access/CDatabaseRegistry.h"

#include "access/TierPaths.h"
#include "host/CPathString.h"
#include "host/CSet.h"
#include "host/CZBFileDialog.h"
#include "host/DatabaseFiles.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/Win32Files.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"

namespace {

// Set while an older-generation path dialog is showing, so that a re-entrant open through the
// dialog's message loop does not stack a second one. Not a lock.
bool g_pathDialogShowing = false;

class PathDialogGuard {
public:
    PathDialogGuard() { g_pathDialogShowing = true; }
    ~PathDialogGuard() { g_pathDialogShowing = false; }
    PathDialogGuard(const PathDialogGuard&) = delete;
    PathDialogGuard& operator=(const PathDialogGuard&) = delete;
};

// The dialog texts, loaded once and kept for the life of the process.
struct PathDialogTexts {
    CString titles[3];
    CString filterDescription;
    CString filterPattern;
};

const PathDialogTexts& DialogTexts() {
    static const PathDialogTexts texts = [] {
        return PathDialogTexts{
            {ModuleString(IDS_SELECT_MASTER_DATABASE), ModuleString(IDS_SELECT_CORPORATE_DATABASE),
             ModuleString(IDS_SELECT_USER_DATABASE)},
            ModuleString(IDS_DATABASE_FILE_FILTER),
            ModuleString(IDS_DATABASE_FILE_PATTERN)};
    }();
    return texts;
}

// The folder the path dialog opens in: the file system's root stands for the Windows system
// drive where the configured path gives no folder.
CString InitialFolder(const CString& configured) {
    CPathString path(configured);
    if (path.IsPath()) {
        path.SetPathTerminator();
        return path;
    }
    return "/";
}

void ClearReadOnly(const CString& path) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    }
}

}  // namespace

CDatabaseRegistry::CDatabaseRegistry() {
    const CSet* settings = GetSettings();
    m_strBaseKey =
        (settings ? settings->GetBaseRegistryPath(false, true) : CString()) + "\\LibManager";
}

void CDatabaseRegistry::SetSection(const CString& docType, const CString& dialogName) {
    m_strDocType = docType;
    m_strDialogName = dialogName;
}

CString CDatabaseRegistry::SubKey() const {
    CString subKey;
    subKey.Format("\\%s\\%s", m_strDocType.GetString(), m_strDialogName.GetString());
    return subKey;
}

CRegistry* CDatabaseRegistry::OpenSectionKey(const CString& subKey) {
    CSet* settings = GetSettings();
    if (settings == nullptr) {
        return nullptr;
    }
    CRegistry* registry = settings->GetRegistry();
    const CString path = m_strBaseKey + subKey;
    registry->ReOpenBaseKey(0, 0);
    if (registry->Open(path)) {
        return registry;
    }
    registry->ReOpenBaseKey(0, 0);
    if (!registry->CreateKey(path)) {
        return nullptr;
    }
    registry->ReOpenBaseKey(0, 0);
    return registry->Open(path) ? registry : nullptr;
}

long CDatabaseRegistry::ReadLong(const CString& subKey, const char* name) {
    CRegistry* registry = OpenSectionKey(subKey);
    if (registry == nullptr) {
        return 0;
    }
    unsigned long value = 0;
    if (!registry->Read(name, value)) {
        registry->Write(name, 0UL);
        return 0;
    }
    // Stored as the 32-bit pattern, so -1 comes back as -1.
    return static_cast<long>(static_cast<std::int32_t>(value));
}

CString CDatabaseRegistry::ReadString(const CString& subKey, const char* name) {
    CRegistry* registry = OpenSectionKey(subKey);
    CString value;
    if (registry != nullptr && !registry->Read(name, value)) {
        value.Empty();
        registry->Write(name, "");
    }
    return value;
}

void CDatabaseRegistry::WriteLong(const CString& subKey, const char* name, long value) {
    if (CRegistry* registry = OpenSectionKey(subKey)) {
        registry->Write(name, static_cast<unsigned long>(value) & 0xFFFFFFFFUL);
    }
}

long CDatabaseRegistry::GetLastLocation(long& databaseType) {
    const long treeID = ReadLong(SubKey(), "LastObjectTreeID");
    databaseType = ReadLong(SubKey(), "LastDatabaseType");
    return treeID;
}

void CDatabaseRegistry::SetLastLocation(long treeID, long databaseType) {
    WriteLong(SubKey(), "LastObjectTreeID", treeID);
    WriteLong(SubKey(), "LastDatabaseType", databaseType);
}

CString CDatabaseRegistry::GetLastObjectName() {
    return ReadString(SubKey(), "LastObjectName");
}

void CDatabaseRegistry::SetLastObjectName(const CString& name) {
    if (CRegistry* registry = OpenSectionKey(SubKey())) {
        registry->Write("LastObjectName", name);
    }
}

long CDatabaseRegistry::GetMustShowSubTreeItems() {
    return ReadLong("", "MustShowSubTreeItems");
}

void CDatabaseRegistry::SetMustShowSubTreeItems(long show) {
    WriteLong("", "MustShowSubTreeItems", show);
}

void CDatabaseRegistry::SetLastUserID(long userID) {
    WriteLong("", "LastUserID", userID);
}

bool CDatabaseRegistry::GetDatabasePath(CString& path, DATABASETYPE type, int& isV8) {
    CSet* settings = GetSettings();
    if (settings == nullptr || type < DATABASETYPE_MASTER || type > DATABASETYPE_USER) {
        return false;
    }
    path = ConfiguredLibraryPath(*settings, type);
    isV8 = IsV8DatadaseFileName(path);
    if (isV8 != 1) {
        return ResolveOlderGeneration(path, type);
    }
    const CString configured = path;
    if (CheckDBFileExist(path, settings->GetDatabaseFolderPath()) == 0) {
        return false;
    }
    if (path != configured) {
        StoreLibraryPath(*settings, type, path);
        isV8 = IsV8DatadaseFileName(path);
    }
    return true;
}

bool CDatabaseRegistry::ResolveOlderGeneration(CString& path, DATABASETYPE type) {
    CSet* settings = GetSettings();
    const PathDialogTexts& texts = DialogTexts();
    path = ConfiguredLibraryPath(*settings, type);
    if (!CPathString(path).FileExists()) {
        AfxMessageBox(ModuleString(IDS_DATABASE_NOT_FOUND), MB_OK);
        if (!g_pathDialogShowing) {
            const PathDialogGuard showing;
            CZBFileDialog dialog(1, 0);
            dialog.m_strTitle = texts.titles[type - DATABASETYPE_MASTER];
            dialog.AddFilter(texts.filterDescription, texts.filterPattern);
            dialog.m_strInitialDir = InitialFolder(path);
            if (dialog.DoModal() == IDOK && !dialog.GetPathName().IsEmpty()) {
                path = dialog.GetPathName();
            }
        }
        StoreLibraryPath(*settings, type, path);
    }
    if (!CPathString(path).FileExists()) {
        return false;
    }
    CPathString lockFile(path);
    lockFile.SetExt(".ldb");
    if (lockFile.FileExists()) {
        ClearReadOnly(lockFile);
        lockFile.FileRemove();
    }
    CPathString library(path);
    library.SetExt(kLibraryExtension);
    ClearReadOnly(library);
    path = library;
    return true;
}
