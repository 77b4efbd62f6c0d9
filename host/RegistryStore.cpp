#include "host/RegistryStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

constexpr const char* kHeader = "Windows Registry Editor Version 5.00";

std::string Escape(const CString& text) {
    std::string out;
    for (char ch : text.str()) {
        if (ch == '\\' || ch == '"') {
            out.push_back('\\');
            out.push_back(ch);
        } else if (ch == '\n') {
            out += "\\n";
        } else {
            out.push_back(ch);
        }
    }
    return out;
}

// Reads a quoted text starting at `pos` (on the opening quote); advances past the closing one.
bool Unquote(const std::string& line, std::size_t& pos, CString& out) {
    if (pos >= line.size() || line[pos] != '"') {
        return false;
    }
    std::string text;
    for (++pos; pos < line.size(); ++pos) {
        char ch = line[pos];
        if (ch == '"') {
            ++pos;
            out = CString(text);
            return true;
        }
        if (ch == '\\' && pos + 1 < line.size()) {
            ch = line[++pos];
            text.push_back(ch == 'n' ? '\n' : ch);
        } else {
            text.push_back(ch);
        }
    }
    return false;
}

// Holds an exclusive lock on "<store>.lock" for its lifetime; the store file itself is
// replaced by rename, so it cannot carry the lock.
class FileLock {
public:
    explicit FileLock(const std::string& storePath)
        : m_fd(::open((storePath + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (m_fd >= 0 && ::flock(m_fd, LOCK_EX) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~FileLock() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool Held() const { return m_fd >= 0; }

private:
    int m_fd;
};

}  // namespace

CString RegistryStore::NormalKey(const CString& key) {
    CString normal;
    std::stringstream parts(key.str());
    std::string part;
    while (std::getline(parts, part, '\\')) {
        if (!part.empty()) {
            normal += (normal.IsEmpty() ? "" : "\\") + CString(part);
        }
    }
    return normal;
}

RegistryStore::Keys RegistryStore::Load() const {
    Keys keys;
    std::ifstream in(m_path);
    std::string line;
    Values* current = nullptr;
    while (std::getline(in, line)) {
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            current = &keys[NormalKey(line.substr(1, line.size() - 2))];
            continue;
        }
        std::size_t pos = 0;
        CString name;
        if (current == nullptr || !Unquote(line, pos, name) || pos >= line.size() ||
            line[pos] != '=') {
            continue;  // the header, blank lines and anything unreadable
        }
        ++pos;
        CString text;
        if (line.compare(pos, 6, "dword:") == 0) {
            char* end = nullptr;
            const unsigned long number = std::strtoul(line.c_str() + pos + 6, &end, 16);
            if (end != line.c_str() + pos + 6 && *end == '\0') {
                (*current)[name] = number;
            }
        } else if (Unquote(line, pos, text)) {
            (*current)[name] = text;
        }
    }
    return keys;
}

bool RegistryStore::Save(const Keys& keys) const {
    const std::string temporary = m_path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << kHeader << "\n";
        for (const auto& [key, values] : keys) {
            out << "\n[" << key.str() << "]\n";
            for (const auto& [name, value] : values) {
                out << '"' << Escape(name) << "\"=";
                if (const auto* number = std::get_if<unsigned long>(&value)) {
                    char hex[16];
                    std::snprintf(hex, sizeof hex, "%08lx", *number & 0xFFFFFFFFUL);
                    out << "dword:" << hex << "\n";
                } else {
                    out << '"' << Escape(std::get<CString>(value)) << "\"\n";
                }
            }
        }
        out.flush();
        if (!out) {
            return false;
        }
    }
    // The data reaches the disk before the rename makes it the store.
    const int fd = ::open(temporary.c_str(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return synced && std::rename(temporary.c_str(), m_path.c_str()) == 0;
}

template <typename Change>
bool RegistryStore::Modify(Change change) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(m_path).parent_path(), ignored);
    FileLock lock(m_path);
    if (!lock.Held()) {
        return false;
    }
    Keys keys = Load();
    const Keys before = keys;
    change(keys);
    // Every library writes its user back when closed: unchanged, the file is left alone rather
    // than rewritten and synced once per library and command.
    return keys == before || Save(keys);
}

bool RegistryStore::KeyExists(const CString& key) const {
    const Keys keys = Load();
    return keys.count(NormalKey(key)) > 0;
}

bool RegistryStore::CreateKey(const CString& key) {
    return Modify([&](Keys& keys) {
        const CString normal = NormalKey(key);
        for (int at = 0; (at = normal.Find('\\', at)) >= 0; ++at) {
            keys[normal.Left(at)];
        }
        keys[normal];
    });
}

std::optional<RegistryStore::Value> RegistryStore::Read(const CString& key,
                                                        const CString& name) const {
    const Keys keys = Load();
    const auto found = keys.find(NormalKey(key));
    if (found == keys.end()) {
        return std::nullopt;
    }
    const auto value = found->second.find(name);
    if (value == found->second.end()) {
        return std::nullopt;
    }
    return value->second;
}

bool RegistryStore::Write(const CString& key, const CString& name, const Value& value) {
    return Modify([&](Keys& keys) { keys[NormalKey(key)][name] = value; });
}
