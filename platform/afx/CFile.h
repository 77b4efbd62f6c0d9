#pragma once
// The file interface that archives read and write through. Positions and lengths are bytes.

#include <cstdint>

#include "platform/afx/CObject.h"

class CFile : public CObject {
public:
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    // Reads up to `count` bytes; returns how many were read (fewer only at the end).
    virtual UINT Read(void* buffer, UINT count) = 0;
    // Writes all `count` bytes or throws.
    virtual void Write(const void* buffer, UINT count) = 0;
    // Moves the position; a position before the start throws CFileException.
    virtual std::uint64_t Seek(std::int64_t offset, UINT from) = 0;
    virtual std::uint64_t GetLength() const = 0;
    virtual std::uint64_t GetPosition() const = 0;
    virtual void SetLength(std::uint64_t length) = 0;
    virtual void Flush() {}
    virtual void Close() {}

    void SeekToBegin() { Seek(0, begin); }
    std::uint64_t SeekToEnd() { return Seek(0, end); }
};
