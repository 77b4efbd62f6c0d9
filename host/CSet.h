#pragma once
// The host's settings as the library module reads them. The reference host fills one from its
// settings file (ReferenceHost); GetSettings gives it to the module.

#include "host/CRegistry.h"
#include "platform/afx/CString.h"

class CKVStatusBar;

// Answers whether the master library may be changed; `context` is the one registered with it.
using MasterEditCallback = void (*)(void* context, BOOL& allowed);

class CSet {
public:
    CString GetMasterLibraryPath() const { return m_masterPath; }
    CString GetCorporateLibraryPath() const { return m_corporatePath; }
    CString GetUserLibraryPath() const { return m_userPath; }
    CString GetUserDatabasePath() const { return m_userPath; }
    CString GetDatabaseFolderPath() const { return m_folderPath; }
    void SetMasterLibraryPath(const CString& path) { m_masterPath = path; }
    void SetCorporateLibraryPath(const CString& path) { m_corporatePath = path; }
    void SetUserLibraryPath(const CString& path) { m_userPath = path; }
    void SetDatabaseFolderPath(const CString& path) { m_folderPath = path; }

    // The host's status bar, or null when it has none. Not owned.
    CKVStatusBar* GetStatusBar() const { return m_statusBar; }
    void SetStatusBar(CKVStatusBar* statusBar) { m_statusBar = statusBar; }

    // Whether stored parts carry "LIBRARYTREEID" attributes.
    bool GetTreeAttributesEnabled() const { return m_treeAttributes; }
    void SetTreeAttributesEnabled(bool enabled) { m_treeAttributes = enabled; }

    void SetMasterEditPermission(void* context, MasterEditCallback callback);
    MasterEditCallback GetMasterEditCallback() const { return m_masterEditCallback; }
    void* GetMasterEditContext() const { return m_masterEditContext; }
    // Asks the callback; no callback means no.
    bool MayEditMaster() const;

    // The registry; not owned by callers.
    CRegistry* GetRegistry() { return &m_registry; }
    void SetRegistryStore(RegistryStore* store) { m_registry = CRegistry(store); }
    // The host's base registry key. The flags are kept for the host's signature.
    CString GetBaseRegistryPath(bool, bool) const { return m_baseRegistryPath; }
    void SetBaseRegistryPath(const CString& key) { m_baseRegistryPath = key; }

private:
    CString m_masterPath;
    CString m_corporatePath;
    CString m_userPath;
    CString m_folderPath;
    CKVStatusBar* m_statusBar = nullptr;
    bool m_treeAttributes = false;
    void* m_masterEditContext = nullptr;
    MasterEditCallback m_masterEditCallback = nullptr;
    CRegistry m_registry{nullptr};
    CString m_baseRegistryPath = "Software\\Norvik\\Norvik";
};

// The host's settings, or null when there are none (and then no library work is done).
CSet* GetSettings();
// Makes `settings` (not owned; null for none) what GetSettings returns.
void SetSettings(CSet* settings);
// The host's master edit permission; no settings, like no callback, means no.
bool MasterEditPermitted();
