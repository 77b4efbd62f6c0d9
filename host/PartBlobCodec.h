#pragma once
// The byte encoding of stored parts: the marker "VPRT" and a version byte, then a table of the
// object classes and a table of the texts the blob uses, then the data. Numbers are
// little-endian variable-length integers (signed ones zig-zag coded); classes and texts are
// indexes into the blob's own tables, so a blob needs nothing outside itself to be read. The reader
// checks every read against the bytes it has and refuses (throws PartBlobError) anything malformed,
// so no stored blob can make it read out of bounds or allocate beyond the blob's size.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/CPoolStringStorage.h"
#include "platform/afx/CObject.h"
#include "platform/afx/CString.h"

class PartBlobError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class PartBlobWriter {
public:
    // A footprint's blob is a few hundred bytes: room for it from the start.
    PartBlobWriter() { m_bytes.reserve(512); }

    void Byte(std::uint8_t value) { m_bytes.push_back(value); }
    void Unsigned(std::uint64_t value);
    void Signed(std::int64_t value);
    void Raw(const void* data, std::size_t size);
    // Texts go into the string table the blob carries; the object data holds their index.
    void Text(const CString& text);
    void Class(const CRuntimeClass* cls);

    // The whole blob: marker, version, both tables, then the data written so far.
    std::vector<std::uint8_t> Finish() const;
    const std::vector<CString>& Strings() const { return m_strings.Texts(); }
    const std::vector<const CRuntimeClass*>& Classes() const { return m_classes; }

    static constexpr char kMarker[4] = {'V', 'P', 'R', 'T'};
    // 2 added the pads' turn, slots, bare holes and outlines; blobs of 1 are still read.
    static constexpr std::uint8_t kVersion = 2;

private:
    std::vector<std::uint8_t> m_bytes;
    CPoolStringStorage m_strings;
    std::vector<const CRuntimeClass*> m_classes;
};

class PartBlobReader {
public:
    PartBlobReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::uint8_t Byte();
    std::uint64_t Unsigned();
    std::int64_t Signed();
    // A count of items of at least `minimumItemBytes` each, checked against what is left.
    std::size_t Count(std::size_t minimumItemBytes = 1);
    std::string RawText();
    CString Text();
    // A class named in the blob's class table; throws for one this program does not know.
    const CRuntimeClass* Class();
    // Reads marker, version and both tables.
    void ReadHeader();
    // The format the blob was written in, known once the header is read.
    std::uint8_t Version() const { return m_version; }
    bool AtEnd() const { return m_position == m_size; }
    std::size_t Remaining() const { return m_size - m_position; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
    std::uint8_t m_version = 0;
    std::vector<CString> m_strings;
    std::vector<const CRuntimeClass*> m_classes;
};
