#pragma once
// MFC's CString over UTF-8. Positions and lengths count bytes, as MFC's counted chars in the
// single-byte build; case operations work on whole code points.

#include <cstdarg>
#include <functional>
#include <string>
#include <string_view>

#include "platform/afx/AfxTypes.h"

class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text ? text : "") {}  // NOLINT: MFC converts implicitly
    CString(std::string_view text) : m_text(text) {}         // NOLINT
    CString(std::string text) : m_text(std::move(text)) {}   // NOLINT
    CString(char ch, int repeat) : m_text(repeat > 0 ? repeat : 0, ch) {}

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    const char* GetString() const { return m_text.c_str(); }
    operator const char*() const { return m_text.c_str(); }  // NOLINT: MFC's LPCTSTR
    const std::string& str() const { return m_text; }
    char GetAt(int index) const { return m_text.at(static_cast<std::size_t>(index)); }

    CString& operator+=(const CString& other);
    CString& operator+=(const char* other);
    CString& operator+=(char ch);

    // Byte-wise comparison: <0, 0 or >0.
    int Compare(const char* other) const;
    // Comparison that ignores case, folding non-ASCII letters as the database does.
    int CompareNoCase(const char* other) const;

    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(const char* format, va_list args) __attribute__((format(printf, 2, 0)));
    // Loads string `id` of the current resource module; false (and empty) when it has none.
    bool LoadString(UINT id);

    // Byte index of the first match at or after `start`, or -1.
    int Find(char ch, int start = 0) const;
    int Find(const char* sub, int start = 0) const;
    // Byte index of the last `ch`, or -1.
    int ReverseFind(char ch) const;

    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    // The next token at or after `start`, delimited by any of `delimiters`; empty tokens are
    // skipped. `start` moves past the token; when none is left, the result is empty and `start`
    // becomes -1.
    CString Tokenize(const char* delimiters, int& start) const;

    CString& MakeUpper();
    CString& MakeLower();
    CString& TrimLeft();
    CString& TrimRight();
    CString& Trim();
    CString& TrimLeft(char ch);
    CString& TrimRight(char ch);

    // Replaces every occurrence; returns how many were replaced.
    int Replace(const char* oldText, const char* newText);
    int Replace(char oldCh, char newCh);
    int Remove(char ch);

private:
    std::string m_text;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const char* b);
CString operator+(const char* a, const CString& b);
CString operator+(const CString& a, char b);

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, const char* b);
bool operator==(const char* a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, const char* b);
bool operator!=(const char* a, const CString& b);
bool operator<(const CString& a, const CString& b);

template <>
struct std::hash<CString> {
    std::size_t operator()(const CString& s) const noexcept {
        return std::hash<std::string>()(s.str());
    }
};
