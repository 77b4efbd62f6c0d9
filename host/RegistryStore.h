#pragma once
// The reference host's registry: keys with number and text values in one file, written in the
// Windows ".reg" export format so that a person can read it. Every change rereads the file,
// applies itself and replaces the file by an atomic rename under an exclusive lock, so a crash
// mid-write leaves the old or the new file, and two processes writing at once both land.
// Key and value names ignore case, as the Windows registry's do.

#include <map>
#include <optional>
#include <string>
#include <variant>

#include "platform/afx/CString.h"

class RegistryStore {
public:
    using Value = std::variant<unsigned long, CString>;

    explicit RegistryStore(std::string path) : m_path(std::move(path)) {}

    const std::string& Path() const { return m_path; }
    bool KeyExists(const CString& key) const;
    // Creates the key and its parents; false when the file cannot be written.
    bool CreateKey(const CString& key);
    std::optional<Value> Read(const CString& key, const CString& name) const;
    // Creates the key when needed; false when the file cannot be written.
    bool Write(const CString& key, const CString& name, const Value& value);

    // Key paths: components split at backslashes, empty components dropped.
    static CString NormalKey(const CString& key);

private:
    struct NoCase {
        bool operator()(const CString& a, const CString& b) const { return a.CompareNoCase(b) < 0; }
    };
    using Values = std::map<CString, Value, NoCase>;
    using Keys = std::map<CString, Values, NoCase>;

    Keys Load() const;
    bool Save(const Keys& keys) const;
    template <typename Change>
    bool Modify(Change change);

    std::string m_path;
};
