#include "platform/afx/CArchive.h"

#include <bit>
#include <cstring>
#include <string>

#include "platform/afx/CException.h"

template <typename T>
void CArchive::WriteLittleEndian(T value) {
    using Unsigned = std::make_unsigned_t<T>;
    auto bits = static_cast<Unsigned>(value);
    BYTE bytes[sizeof(T)];
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        bytes[i] = static_cast<BYTE>(bits & 0xFF);
        bits = static_cast<Unsigned>(bits >> 8);
    }
    Write(bytes, sizeof(T));
}

template <typename T>
T CArchive::ReadLittleEndian() {
    BYTE bytes[sizeof(T)];
    Read(bytes, sizeof(T));
    std::make_unsigned_t<T> bits = 0;
    for (std::size_t i = sizeof(T); i-- > 0;) {
        bits = static_cast<std::make_unsigned_t<T>>((bits << 8) | bytes[i]);
    }
    return static_cast<T>(bits);
}

void CArchive::Write(const void* buffer, UINT count) {
    m_file->Write(buffer, count);
}

void CArchive::Read(void* buffer, UINT count) {
    if (m_file->Read(buffer, count) != count) {
        throw CArchiveException(CArchiveException::endOfFile);
    }
}

void CArchive::RequireAvailable(std::uint64_t count) const {
    const std::uint64_t length = m_file->GetLength();
    const std::uint64_t position = m_file->GetPosition();
    if (position > length || length - position < count) {
        throw CArchiveException(CArchiveException::endOfFile);
    }
}

void CArchive::WriteCount(DWORD count) {
    if (count < 0xFFFF) {
        WriteLittleEndian<WORD>(static_cast<WORD>(count));
    } else {
        WriteLittleEndian<WORD>(0xFFFF);
        WriteLittleEndian<DWORD>(count);
    }
}

DWORD CArchive::ReadCount() {
    const WORD shortCount = ReadLittleEndian<WORD>();
    return shortCount != 0xFFFF ? shortCount : ReadLittleEndian<DWORD>();
}

CArchive& CArchive::operator<<(BYTE value) {
    return WriteLittleEndian(value), *this;
}
CArchive& CArchive::operator<<(WORD value) {
    return WriteLittleEndian(value), *this;
}
CArchive& CArchive::operator<<(std::int16_t value) {
    return WriteLittleEndian(value), *this;
}
CArchive& CArchive::operator<<(LONG value) {
    return WriteLittleEndian(value), *this;
}
CArchive& CArchive::operator<<(DWORD value) {
    return WriteLittleEndian(value), *this;
}
CArchive& CArchive::operator<<(double value) {
    return WriteLittleEndian(std::bit_cast<std::uint64_t>(value)), *this;
}

// Texts: a BYTE length below 0xFF; else 0xFF and a WORD below 0xFFFF; else 0xFF, 0xFFFF and a
// DWORD. The bytes follow without a terminator.
CArchive& CArchive::operator<<(const CString& value) {
    const auto length = static_cast<DWORD>(value.GetLength());
    if (length < 0xFF) {
        WriteLittleEndian<BYTE>(static_cast<BYTE>(length));
    } else if (length < 0xFFFE) {
        WriteLittleEndian<BYTE>(0xFF);
        WriteLittleEndian<WORD>(static_cast<WORD>(length));
    } else {
        WriteLittleEndian<BYTE>(0xFF);
        WriteLittleEndian<WORD>(0xFFFF);
        WriteLittleEndian<DWORD>(length);
    }
    Write(value.GetString(), length);
    return *this;
}

CArchive& CArchive::operator>>(BYTE& value) {
    return value = ReadLittleEndian<BYTE>(), *this;
}
CArchive& CArchive::operator>>(WORD& value) {
    return value = ReadLittleEndian<WORD>(), *this;
}
CArchive& CArchive::operator>>(std::int16_t& value) {
    return value = ReadLittleEndian<std::int16_t>(), *this;
}
CArchive& CArchive::operator>>(LONG& value) {
    return value = ReadLittleEndian<LONG>(), *this;
}
CArchive& CArchive::operator>>(DWORD& value) {
    return value = ReadLittleEndian<DWORD>(), *this;
}
CArchive& CArchive::operator>>(double& value) {
    return value = std::bit_cast<double>(ReadLittleEndian<std::uint64_t>()), *this;
}

CArchive& CArchive::operator>>(CString& value) {
    DWORD length = ReadLittleEndian<BYTE>();
    if (length == 0xFF) {
        length = ReadLittleEndian<WORD>();
        if (length == 0xFFFE) {
            // MFC's marker for a wide-character text, which this system never writes.
            throw CArchiveException(CArchiveException::badSchema);
        }
        if (length == 0xFFFF) {
            length = ReadLittleEndian<DWORD>();
        }
    }
    RequireAvailable(length);
    std::string text(length, '\0');
    Read(text.data(), length);
    value = CString(std::move(text));
    return *this;
}
