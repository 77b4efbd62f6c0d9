#pragma once
// A file in memory, as MFC's CMemFile: the buffer is allocated with malloc and grows in steps
// of the grow size. A buffer attached with grow size 0 is fixed: writing past it throws
// CMemoryException. Attached buffers stay the caller's; take them back with Detach.

#include "platform/afx/CFile.h"

class CMemFile : public CFile {
public:
    explicit CMemFile(UINT growBytes = 1024);
    // Attaches `buffer` as Attach does.
    CMemFile(BYTE* buffer, UINT bufferSize, UINT growBytes = 0);
    ~CMemFile() override;
    CMemFile(const CMemFile&) = delete;
    CMemFile& operator=(const CMemFile&) = delete;

    // Uses `buffer` (malloc'ed when growBytes > 0, since growing reallocates it). With growBytes
    // 0 the file holds `bufferSize` bytes of data; otherwise it starts empty.
    void Attach(BYTE* buffer, UINT bufferSize, UINT growBytes = 0);
    // Gives the buffer up; the caller frees it with free(). The file is empty afterwards.
    BYTE* Detach();

    UINT Read(void* buffer, UINT count) override;
    void Write(const void* buffer, UINT count) override;
    std::uint64_t Seek(std::int64_t offset, UINT from) override;
    std::uint64_t GetLength() const override { return m_length; }
    std::uint64_t GetPosition() const override { return m_position; }
    void SetLength(std::uint64_t length) override;
    void Close() override;

private:
    void Grow(std::size_t needed);
    void FreeOwnedBuffer();

    BYTE* m_buffer = nullptr;
    std::size_t m_capacity = 0;
    std::size_t m_length = 0;
    std::size_t m_position = 0;
    UINT m_growBytes;
    bool m_ownsBuffer = true;
};
