#include "platform/afx/UnicodeCase.h"

#include <algorithm>

namespace vaultry::text {
namespace {

struct CaseMapping {
    char32_t from;
    char32_t to;
};

#include "platform/afx/UnicodeCaseTables.inc"

template <std::size_t N>
char32_t Lookup(const CaseMapping (&table)[N], char32_t cp) {
    const auto* end = table + N;
    const auto* it = std::lower_bound(table, end, cp,
                                      [](const CaseMapping& m, char32_t v) { return m.from < v; });
    return (it != end && it->from == cp) ? it->to : cp;
}

constexpr char32_t kRawByteBase = 0xDC00;

std::string MapText(std::string_view text, char32_t (*map)(char32_t)) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        const char32_t cp = DecodeUtf8(text, pos);
        if (cp >= kRawByteBase && cp <= kRawByteBase + 0xFF && pos == start + 1) {
            out.push_back(text[start]);
        } else {
            AppendUtf8(out, map(cp));
        }
    }
    return out;
}

}  // namespace

// ASCII is answered directly: it is nearly all the text there is, and the tables hold the same.
char32_t FoldCodePoint(char32_t cp) {
    if (cp < 0x80) {
        return (cp >= 'A' && cp <= 'Z') ? cp + 32 : cp;
    }
    return Lookup(kFoldTable, cp);
}

char32_t LowerCodePoint(char32_t cp) {
    if (cp < 0x80) {
        return (cp >= 'A' && cp <= 'Z') ? cp + 32 : cp;
    }
    return Lookup(kLowerTable, cp);
}

char32_t UpperCodePoint(char32_t cp) {
    if (cp < 0x80) {
        return (cp >= 'a' && cp <= 'z') ? cp - 32 : cp;
    }
    return Lookup(kUpperTable, cp);
}

char32_t DecodeUtf8(std::string_view text, std::size_t& pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    int length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, cp = lead & 0x07, minimum = 0x10000;
    }
    bool valid = length > 0 && pos + length <= text.size();
    for (int i = 1; valid && i < length; ++i) {
        valid = (byte(pos + i) & 0xC0) == 0x80;
        cp = (cp << 6) | (byte(pos + i) & 0x3F);
    }
    valid = valid && cp >= minimum && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
    if (!valid) {
        ++pos;
        return kRawByteBase + lead;
    }
    pos += length;
    return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

int CompareFolded(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const auto p = static_cast<unsigned char>(a[i]);
        const auto q = static_cast<unsigned char>(b[j]);
        if (p == q && p < 0x80) {  // names compared mostly share a prefix
            ++i;
            ++j;
            continue;
        }
        char32_t x = 0;
        char32_t y = 0;
        if (p < 0x80 && q < 0x80) {
            // SQLite compares every name it looks up or indexes this way, and most names are
            // ASCII: a byte is its code point, with nothing to decode.
            x = FoldCodePoint(p);
            y = FoldCodePoint(q);
            ++i;
            ++j;
        } else {
            x = FoldCodePoint(DecodeUtf8(a, i));
            y = FoldCodePoint(DecodeUtf8(b, j));
        }
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    if (i < a.size()) {
        return 1;
    }
    return j < b.size() ? -1 : 0;
}

std::string FoldedKey(std::string_view text) {
    std::string key;
    key.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) {
            key.push_back(static_cast<char>(FoldCodePoint(byte)));
            ++pos;
        } else {
            AppendUtf8(key, FoldCodePoint(DecodeUtf8(text, pos)));
        }
    }
    return key;
}

std::string ToUpper(std::string_view text) {
    return MapText(text, UpperCodePoint);
}
std::string ToLower(std::string_view text) {
    return MapText(text, LowerCodePoint);
}

}  // namespace vaultry::text
