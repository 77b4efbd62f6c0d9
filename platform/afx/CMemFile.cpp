#include "platform/afx/CMemFile.h"

#include <cstdlib>
#include <cstring>

#include "platform/afx/CException.h"

CMemFile::CMemFile(UINT growBytes) : m_growBytes(growBytes) {}

CMemFile::CMemFile(BYTE* buffer, UINT bufferSize, UINT growBytes) : m_growBytes(growBytes) {
    Attach(buffer, bufferSize, growBytes);
}

CMemFile::~CMemFile() {
    FreeOwnedBuffer();
}

void CMemFile::Attach(BYTE* buffer, UINT bufferSize, UINT growBytes) {
    FreeOwnedBuffer();
    m_buffer = buffer;
    m_capacity = bufferSize;
    m_growBytes = growBytes;
    m_length = growBytes == 0 ? bufferSize : 0;
    m_position = 0;
    m_ownsBuffer = false;
}

BYTE* CMemFile::Detach() {
    BYTE* buffer = m_buffer;
    m_buffer = nullptr;
    m_capacity = m_length = m_position = 0;
    m_ownsBuffer = true;
    return buffer;
}

UINT CMemFile::Read(void* buffer, UINT count) {
    const std::size_t available = m_position < m_length ? m_length - m_position : 0;
    const std::size_t n = count < available ? count : available;
    if (n > 0) {
        std::memcpy(buffer, m_buffer + m_position, n);
    }
    m_position += n;
    return static_cast<UINT>(n);
}

void CMemFile::Write(const void* buffer, UINT count) {
    if (count == 0) {
        return;
    }
    const std::size_t writeEnd = m_position + count;
    if (writeEnd > m_capacity) {
        Grow(writeEnd);
    }
    std::memcpy(m_buffer + m_position, buffer, count);
    m_position = writeEnd;
    if (writeEnd > m_length) {
        m_length = writeEnd;
    }
}

std::uint64_t CMemFile::Seek(std::int64_t offset, UINT from) {
    std::int64_t base = 0;
    if (from == current) {
        base = static_cast<std::int64_t>(m_position);
    } else if (from == end) {
        base = static_cast<std::int64_t>(m_length);
    }
    const std::int64_t target = base + offset;
    if (target < 0) {
        throw CFileException(CFileException::generic, "memory file");
    }
    m_position = static_cast<std::size_t>(target);
    return m_position;
}

void CMemFile::SetLength(std::uint64_t length) {
    if (length > m_capacity) {
        Grow(static_cast<std::size_t>(length));
    }
    if (length > m_length) {
        std::memset(m_buffer + m_length, 0, static_cast<std::size_t>(length) - m_length);
    }
    m_length = static_cast<std::size_t>(length);
    if (m_position > m_length) {
        m_position = m_length;
    }
}

void CMemFile::Close() {
    FreeOwnedBuffer();
    m_buffer = nullptr;
    m_capacity = m_length = m_position = 0;
}

void CMemFile::Grow(std::size_t needed) {
    if (m_growBytes == 0) {
        throw CMemoryException();
    }
    std::size_t capacity = m_capacity;
    while (capacity < needed) {
        capacity += m_growBytes;
    }
    auto* grown = static_cast<BYTE*>(std::realloc(m_buffer, capacity));
    if (grown == nullptr) {
        throw CMemoryException();
    }
    m_buffer = grown;
    m_capacity = capacity;
}

void CMemFile::FreeOwnedBuffer() {
    if (m_ownsBuffer) {
        std::free(m_buffer);
    }
}
