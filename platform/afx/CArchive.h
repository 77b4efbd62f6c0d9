#pragma once
// A binary archive over a CFile in MFC's byte layout: little-endian numbers, texts and counts
// with MFC's escalating length prefixes. Reading past the end throws CArchiveException.

#include <cstdint>

#include "platform/afx/CFile.h"
#include "platform/afx/CString.h"

class CArchive {
public:
    enum Mode { store = 0, load = 1 };

    // `file` is not owned and must outlive the archive.
    CArchive(CFile* file, UINT mode) : m_file(file), m_mode(mode) {}
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsLoading() const { return (m_mode & load) != 0; }
    bool IsStoring() const { return !IsLoading(); }
    CFile* GetFile() const { return m_file; }

    void Write(const void* buffer, UINT count);
    // Reads exactly `count` bytes or throws CArchiveException::endOfFile.
    void Read(void* buffer, UINT count);
    void Flush() { m_file->Flush(); }
    void Close() { Flush(); }

    // Element counts of collections: a WORD, escalating to 0xFFFF and a DWORD.
    void WriteCount(DWORD count);
    DWORD ReadCount();

    CArchive& operator<<(BYTE value);
    CArchive& operator<<(WORD value);
    CArchive& operator<<(std::int16_t value);
    CArchive& operator<<(LONG value);
    CArchive& operator<<(DWORD value);
    CArchive& operator<<(double value);
    CArchive& operator<<(const CString& value);

    CArchive& operator>>(BYTE& value);
    CArchive& operator>>(WORD& value);
    CArchive& operator>>(std::int16_t& value);
    CArchive& operator>>(LONG& value);
    CArchive& operator>>(DWORD& value);
    CArchive& operator>>(double& value);
    CArchive& operator>>(CString& value);

private:
    template <typename T>
    void WriteLittleEndian(T value);
    template <typename T>
    T ReadLittleEndian();
    // Throws unless `count` bytes remain to be read, so a damaged length cannot make a reader
    // allocate more than the file holds.
    void RequireAvailable(std::uint64_t count) const;

    CFile* m_file;
    UINT m_mode;
};
