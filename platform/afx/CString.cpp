#include "platform/afx/CString.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/afx/CResourceModule.h"
#include "platform/afx/UnicodeCase.h"

namespace {

bool IsSpace(char ch) {
    return std::isspace(static_cast<unsigned char>(ch)) != 0;
}

std::size_t Clamp(int value, std::size_t limit) {
    return value < 0 ? 0 : std::min(static_cast<std::size_t>(value), limit);
}

}  // namespace

CString& CString::operator+=(const CString& other) {
    m_text += other.m_text;
    return *this;
}

CString& CString::operator+=(const char* other) {
    m_text += other ? other : "";
    return *this;
}

CString& CString::operator+=(char ch) {
    m_text.push_back(ch);
    return *this;
}

int CString::Compare(const char* other) const {
    const int result = m_text.compare(other ? other : "");
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

int CString::CompareNoCase(const char* other) const {
    return vaultry::text::CompareFolded(m_text, other ? other : "");
}

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const char* format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0) {
        m_text.clear();
        return;
    }
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    m_text.assign(buffer.data(), static_cast<std::size_t>(length));
}

bool CString::LoadString(UINT id) {
    const CResourceModule* module = AfxGetResourceHandle();
    const char* text = module ? module->FindString(id) : nullptr;
    m_text = text ? text : "";
    return text != nullptr;
}

int CString::Find(char ch, int start) const {
    const auto pos = m_text.find(ch, Clamp(start, m_text.size()));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* sub, int start) const {
    if (start > GetLength()) {
        return -1;
    }
    const auto pos = m_text.find(sub ? sub : "", Clamp(start, m_text.size()));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const {
    const auto pos = m_text.rfind(ch);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString CString::Left(int count) const {
    return CString(m_text.substr(0, Clamp(count, m_text.size())));
}

CString CString::Right(int count) const {
    const std::size_t n = Clamp(count, m_text.size());
    return CString(m_text.substr(m_text.size() - n));
}

CString CString::Mid(int first) const {
    return CString(m_text.substr(Clamp(first, m_text.size())));
}

CString CString::Mid(int first, int count) const {
    const std::size_t from = Clamp(first, m_text.size());
    return CString(m_text.substr(from, Clamp(count, m_text.size() - from)));
}

CString CString::Tokenize(const char* delimiters, int& start) const {
    if (start < 0) {
        return CString();
    }
    const std::size_t first = m_text.find_first_not_of(delimiters, Clamp(start, m_text.size()));
    if (first == std::string::npos) {
        start = -1;
        return CString();
    }
    const std::size_t end = std::min(m_text.find_first_of(delimiters, first), m_text.size());
    start = static_cast<int>(end);
    return CString(m_text.substr(first, end - first));
}

CString& CString::MakeUpper() {
    m_text = vaultry::text::ToUpper(m_text);
    return *this;
}

CString& CString::MakeLower() {
    m_text = vaultry::text::ToLower(m_text);
    return *this;
}

CString& CString::TrimLeft() {
    m_text.erase(m_text.begin(), std::find_if_not(m_text.begin(), m_text.end(), IsSpace));
    return *this;
}

CString& CString::TrimRight() {
    m_text.erase(std::find_if_not(m_text.rbegin(), m_text.rend(), IsSpace).base(), m_text.end());
    return *this;
}

CString& CString::Trim() {
    return TrimRight().TrimLeft();
}

CString& CString::TrimLeft(char ch) {
    m_text.erase(0, m_text.find_first_not_of(ch));
    return *this;
}

CString& CString::TrimRight(char ch) {
    const auto last = m_text.find_last_not_of(ch);
    m_text.erase(last == std::string::npos ? 0 : last + 1);
    return *this;
}

int CString::Replace(const char* oldText, const char* newText) {
    const std::string_view from(oldText ? oldText : "");
    const std::string_view to(newText ? newText : "");
    if (from.empty()) {
        return 0;
    }
    int count = 0;
    std::string result;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = m_text.find(from, pos)) != std::string::npos;
         pos = hit + from.size()) {
        result.append(m_text, pos, hit - pos).append(to);
        ++count;
    }
    result.append(m_text, pos);
    m_text = std::move(result);
    return count;
}

int CString::Replace(char oldCh, char newCh) {
    int count = 0;
    for (char& ch : m_text) {
        if (ch == oldCh) {
            ch = newCh;
            ++count;
        }
    }
    return count;
}

int CString::Remove(char ch) {
    const auto before = m_text.size();
    m_text.erase(std::remove(m_text.begin(), m_text.end(), ch), m_text.end());
    return static_cast<int>(before - m_text.size());
}

CString operator+(const CString& a, const CString& b) {
    return CString(a.str() + b.str());
}
CString operator+(const CString& a, const char* b) {
    return CString(a.str() + (b ? b : ""));
}
CString operator+(const char* a, const CString& b) {
    return CString((a ? a : "") + b.str());
}
CString operator+(const CString& a, char b) {
    return CString(a.str() + b);
}

bool operator==(const CString& a, const CString& b) {
    return a.str() == b.str();
}
bool operator==(const CString& a, const char* b) {
    return a.Compare(b) == 0;
}
bool operator==(const char* a, const CString& b) {
    return b.Compare(a) == 0;
}
bool operator!=(const CString& a, const CString& b) {
    return !(a == b);
}
bool operator!=(const CString& a, const char* b) {
    return !(a == b);
}
bool operator!=(const char* a, const CString& b) {
    return !(a == b);
}
bool operator<(const CString& a, const CString& b) {
    return a.str() < b.str();
}
