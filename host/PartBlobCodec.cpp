#include "host/PartBlobCodec.h"

#include <algorithm>

// A part's blob is mostly these, one byte or two each: pushed byte by byte, which costs less
// than encoding them aside and inserting the range.
void PartBlobWriter::Unsigned(std::uint64_t value) {
    while (value >= 0x80) {
        m_bytes.push_back(static_cast<std::uint8_t>(value | 0x80));
        value >>= 7;
    }
    m_bytes.push_back(static_cast<std::uint8_t>(value));
}

void PartBlobWriter::Signed(std::int64_t value) {
    Unsigned((static_cast<std::uint64_t>(value) << 1) ^ static_cast<std::uint64_t>(value >> 63));
}

void PartBlobWriter::Raw(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    m_bytes.insert(m_bytes.end(), bytes, bytes + size);
}

void PartBlobWriter::Text(const CString& text) {
    Unsigned(static_cast<std::uint64_t>(m_strings.Add(text)));
}

void PartBlobWriter::Class(const CRuntimeClass* cls) {
    const auto it = std::find(m_classes.begin(), m_classes.end(), cls);
    Unsigned(static_cast<std::uint64_t>(it - m_classes.begin()));
    if (it == m_classes.end()) {
        m_classes.push_back(cls);
    }
}

std::vector<std::uint8_t> PartBlobWriter::Finish() const {
    PartBlobWriter head;
    for (char ch : kMarker) {
        head.Byte(static_cast<std::uint8_t>(ch));
    }
    head.Byte(kVersion);
    head.Unsigned(m_classes.size());
    for (const CRuntimeClass* cls : m_classes) {
        const std::string name = cls->m_lpszClassName;
        head.Unsigned(name.size());
        head.Raw(name.data(), name.size());
    }
    head.Unsigned(m_strings.Texts().size());
    for (const CString& text : m_strings.Texts()) {
        head.Unsigned(static_cast<std::uint64_t>(text.GetLength()));
        head.Raw(text.GetString(), static_cast<std::size_t>(text.GetLength()));
    }
    std::vector<std::uint8_t> out;
    out.reserve(head.m_bytes.size() + m_bytes.size());
    out.insert(out.end(), head.m_bytes.begin(), head.m_bytes.end());
    out.insert(out.end(), m_bytes.begin(), m_bytes.end());
    return out;
}

std::uint8_t PartBlobReader::Byte() {
    if (m_position >= m_size) {
        throw PartBlobError("the part data ends too early");
    }
    return m_data[m_position++];
}

std::uint64_t PartBlobReader::Unsigned() {
    std::uint64_t value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        const std::uint8_t byte = Byte();
        value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) {
            return value;
        }
    }
    throw PartBlobError("a number in the part data is too long");
}

std::int64_t PartBlobReader::Signed() {
    const std::uint64_t coded = Unsigned();
    return static_cast<std::int64_t>(coded >> 1) ^ -static_cast<std::int64_t>(coded & 1);
}

std::size_t PartBlobReader::Count(std::size_t minimumItemBytes) {
    const std::uint64_t count = Unsigned();
    if (count > Remaining() / std::max<std::size_t>(minimumItemBytes, 1)) {
        throw PartBlobError("a count in the part data exceeds its size");
    }
    return static_cast<std::size_t>(count);
}

std::string PartBlobReader::RawText() {
    const std::size_t length = Count(1);
    std::string text(reinterpret_cast<const char*>(m_data + m_position), length);
    m_position += length;
    return text;
}

void PartBlobReader::ReadHeader() {
    for (char expected : PartBlobWriter::kMarker) {
        if (Byte() != static_cast<std::uint8_t>(expected)) {
            throw PartBlobError("the data is not a stored part");
        }
    }
    m_version = Byte();
    if (m_version < 1 || m_version > PartBlobWriter::kVersion) {
        throw PartBlobError("the part was stored in a format this program does not read");
    }
    const std::size_t classes = Count(1);
    m_classes.clear();
    for (std::size_t i = 0; i < classes; ++i) {
        m_classes.push_back(CRuntimeClass::FromName(RawText().c_str()));
    }
    const std::size_t count = Count(1);
    m_strings.clear();
    m_strings.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        m_strings.emplace_back(RawText());
    }
}

const CRuntimeClass* PartBlobReader::Class() {
    const std::uint64_t index = Unsigned();
    if (index >= m_classes.size() || m_classes[static_cast<std::size_t>(index)] == nullptr) {
        throw PartBlobError("the part holds an object of an unknown kind");
    }
    return m_classes[static_cast<std::size_t>(index)];
}

CString PartBlobReader::Text() {
    const std::uint64_t index = Unsigned();
    if (index >= m_strings.size()) {
        throw PartBlobError("a text index in the part data is out of range");
    }
    return m_strings[static_cast<std::size_t>(index)];
}
