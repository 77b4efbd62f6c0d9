#include "host/ReferenceHost.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/dao/ServerLocation.h"

namespace fs = std::filesystem;

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// An XDG base folder: the variable when set to an absolute path, else the fallback under HOME.
fs::path XdgFolder(const char* variable, const char* fallback) {
    const fs::path set = Environment(variable);
    if (set.is_absolute()) {
        return set;
    }
    const std::string home = Environment("HOME");
    return fs::path(home.empty() ? "/tmp" : home) / fallback;
}

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool ParseYesNo(const std::string& value, bool& result) {
    const CString text(value);
    if (text.CompareNoCase("yes") == 0 || text.CompareNoCase("true") == 0 || text == "1") {
        return result = true, true;
    }
    if (text.CompareNoCase("no") == 0 || text.CompareNoCase("false") == 0 || text == "0") {
        return result = false, true;
    }
    return false;
}

void AnswerMasterEdit(void* context, BOOL& allowed) {
    allowed = static_cast<ReferenceHost*>(context)->MasterEditAllowed() ? TRUE : FALSE;
}

}  // namespace

std::string ReferenceHost::DefaultConfigPath() {
    const std::string fromEnvironment = Environment("VAULTRY_CONFIG");
    if (!fromEnvironment.empty()) {
        return fromEnvironment;
    }
    return (XdgFolder("XDG_CONFIG_HOME", ".config") / "vaultry" / "settings.ini").string();
}

std::string ReferenceHost::DefaultDataFolder() {
    return (XdgFolder("XDG_DATA_HOME", ".local/share") / "vaultry").string();
}

ReferenceHost::ReferenceHost(const std::string& configPath)
    : m_configPath(configPath.empty() ? DefaultConfigPath() : configPath) {
    m_settings.SetDatabaseFolderPath(DefaultDataFolder());
    m_registryPath = (fs::path(m_configPath).parent_path() / "registry.reg").string();
    Load();
    // Relative library paths lie in the folder, wherever in the file the folder was set.
    const fs::path folder = m_settings.GetDatabaseFolderPath().str();
    auto place = [&folder](const std::string& library) {
        return vaultry::dao::IsServerLocation(library) ? library : (folder / library).string();
    };
    m_settings.SetMasterLibraryPath(place(m_libraryFiles[0]));
    m_settings.SetCorporateLibraryPath(place(m_libraryFiles[1]));
    m_settings.SetUserLibraryPath(place(m_libraryFiles[2]));
    m_registry = RegistryStore(m_registryPath);
    m_settings.SetRegistryStore(&m_registry);
    m_settings.SetStatusBar(&m_statusBar);
    m_settings.SetMasterEditPermission(this, AnswerMasterEdit);
    SetSettings(&m_settings);
}

ReferenceHost::~ReferenceHost() {
    if (GetSettings() == &m_settings) {
        SetSettings(nullptr);
    }
}

void ReferenceHost::Load() {
    std::ifstream in(m_configPath);
    if (!in) {
        return;
    }
    std::string section;
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        text = Trim(text.substr(0, text.find_first_of(";#")));
        if (text.empty()) {
            continue;
        }
        if (text.front() == '[' && text.back() == ']') {
            section = Trim(text.substr(1, text.size() - 2));
            continue;
        }
        const auto equals = text.find('=');
        if (equals == std::string::npos) {
            throw std::runtime_error(m_configPath + ":" + std::to_string(line) +
                                     ": expected key = value");
        }
        Apply(section, Trim(text.substr(0, equals)), Trim(text.substr(equals + 1)), line);
    }
}

void ReferenceHost::Apply(const std::string& section, const std::string& key,
                          const std::string& value, int line) {
    const auto fail = [&](const std::string& why) {
        throw std::runtime_error(m_configPath + ":" + std::to_string(line) + ": " + why);
    };
    bool flag = false;
    if (section == "libraries" && key == "folder") {
        m_settings.SetDatabaseFolderPath(value);
    } else if (section == "libraries" && key == "master") {
        m_libraryFiles[0] = value;
    } else if (section == "libraries" && key == "corporate") {
        m_libraryFiles[1] = value;
    } else if (section == "libraries" && key == "user") {
        m_libraryFiles[2] = value;
    } else if (section == "host" && key == "registry") {
        m_registryPath = (fs::path(m_configPath).parent_path() / value).string();
    } else if (section == "host" && key == "base_key") {
        m_settings.SetBaseRegistryPath(value);
    } else if (section == "host" && (key == "tree_attributes" || key == "master_edit")) {
        if (!ParseYesNo(value, flag)) {
            fail("\"" + key + "\" takes yes or no");
        }
        if (key == "tree_attributes") {
            m_settings.SetTreeAttributesEnabled(flag);
        } else {
            m_masterEdit = flag;
        }
    } else {
        fail("unknown setting \"" + key + "\" in [" + section + "]");
    }
}
