#pragma once
// The reference host: the settings the library module asks for, read from a settings file.
//
// The file is found by, in order: the path given to the constructor (the programs' --config),
// the VAULTRY_CONFIG environment variable, "$XDG_CONFIG_HOME/vaultry/settings.ini". A missing
// file means all defaults. Its form:
//
//   [libraries]
//   folder = /srv/norvik          ; default "$XDG_DATA_HOME/vaultry"
//   master = master.zblib         ; relative paths lie in the folder
//   corporate = corporate.zblib   ; or a library on a server: postgresql://... (see
//                                 ; platform/dao/ServerLocation.h)
//   user = user.zblib
//   [host]
//   registry = /path/registry.reg ; default: "registry.reg" beside the settings file
//   base_key = Software\Norvik\Norvik
//   tree_attributes = no          ; parts carry "LIBRARYTREEID" attributes
//   master_edit = no              ; the master library may be changed
//
// While a ReferenceHost lives, GetSettings() returns its settings.

#include <string>

#include "host/CSet.h"
#include "host/ConsoleStatusBar.h"
#include "host/RegistryStore.h"

class ReferenceHost {
public:
    // Throws std::runtime_error naming the file and line when the settings file is malformed.
    explicit ReferenceHost(const std::string& configPath = "");
    ~ReferenceHost();
    ReferenceHost(const ReferenceHost&) = delete;
    ReferenceHost& operator=(const ReferenceHost&) = delete;

    CSet& Settings() { return m_settings; }
    const std::string& ConfigPath() const { return m_configPath; }
    bool MasterEditAllowed() const { return m_masterEdit; }
    void SetMasterEditAllowed(bool allowed) { m_masterEdit = allowed; }

    static std::string DefaultConfigPath();
    static std::string DefaultDataFolder();

private:
    void Load();
    void Apply(const std::string& section, const std::string& key, const std::string& value,
               int line);

    std::string m_configPath;
    std::string m_registryPath;
    std::string m_libraryFiles[3] = {"master.zblib", "corporate.zblib", "user.zblib"};
    CSet m_settings;
    RegistryStore m_registry{""};
    ConsoleStatusBar m_statusBar{stderr};
    bool m_masterEdit = false;
};
