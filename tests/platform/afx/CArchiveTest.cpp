#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/afx/CArchive.h"
#include "platform/afx/CDWordArray.h"
#include "platform/afx/CException.h"
#include "platform/afx/CMemFile.h"

namespace {

std::vector<BYTE> Contents(CMemFile& file) {
    const auto length = static_cast<std::size_t>(file.GetLength());
    BYTE* data = file.Detach();
    std::vector<BYTE> bytes(data, data + length);
    std::free(data);
    return bytes;
}

}  // namespace

// Stored files depend on these bytes; a change here breaks files already written.
TEST(CArchiveTest, GoldenBytesOfNumbersTextsAndCounts) {
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << BYTE{0xAB} << WORD{0x1234} << LONG{-2} << DWORD{0x01020304} << CString("ab");
        ar.WriteCount(3);
        ar.WriteCount(0x12345);
        ar.Close();
    }
    const std::vector<BYTE> expected = {0xAB, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0x04,
                                        0x03, 0x02, 0x01, 0x02, 'a',  'b',  0x03, 0x00,
                                        0xFF, 0xFF, 0x45, 0x23, 0x01, 0x00};
    EXPECT_EQ(Contents(file), expected);
}

TEST(CArchiveTest, TextLengthPrefixesEscalate) {
    for (int length : {0, 254, 255, 0xFFFD, 0xFFFE, 70000}) {
        CMemFile file;
        CArchive out(&file, CArchive::store);
        out << CString('x', length);
        const std::uint64_t prefix = length < 0xFF ? 1 : (length < 0xFFFE ? 3 : 7);
        EXPECT_EQ(file.GetLength(), prefix + static_cast<std::uint64_t>(length)) << length;
        file.SeekToBegin();
        CArchive in(&file, CArchive::load);
        CString back;
        in >> back;
        EXPECT_EQ(back.GetLength(), length);
    }
}

TEST(CArchiveTest, DWordArraySerializesCountThenElements) {
    CDWordArray values;
    values.Add(1);
    values.Add(0xFFFFFFFF);
    CMemFile file;
    CArchive out(&file, CArchive::store);
    values.Serialize(out);
    file.SeekToBegin();
    CArchive in(&file, CArchive::load);
    CDWordArray back;
    back.Serialize(in);
    ASSERT_EQ(back.GetSize(), 2);
    EXPECT_EQ(back[1], 0xFFFFFFFFu);
    EXPECT_EQ(Contents(file), (std::vector<BYTE>{2, 0, 1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(CArchiveTest, DamagedDataIsRefusedWithoutHugeAllocations) {
    // A text announcing four gigabytes, in a file of a few bytes.
    BYTE hostileText[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a'};
    CMemFile textFile(hostileText, sizeof hostileText);
    CArchive textArchive(&textFile, CArchive::load);
    CString text;
    EXPECT_THROW(textArchive >> text, CArchiveException);

    BYTE hostileArray[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3, 4};
    CMemFile arrayFile(hostileArray, sizeof hostileArray);
    CArchive arrayArchive(&arrayFile, CArchive::load);
    CDWordArray values;
    EXPECT_THROW(values.Serialize(arrayArchive), CArchiveException);

    BYTE truncated[] = {0x34};
    CMemFile shortFile(truncated, sizeof truncated);
    CArchive shortArchive(&shortFile, CArchive::load);
    WORD number = 0;
    try {
        shortArchive >> number;
        FAIL() << "read past the end";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
    }
}

TEST(CArchiveTest, MemFileGrowsAttachesAndDetaches) {
    CMemFile growing(4);
    const char data[] = "0123456789";
    growing.Write(data, 10);
    EXPECT_EQ(growing.GetLength(), 10u);
    growing.SeekToBegin();
    char back[11] = {};
    EXPECT_EQ(growing.Read(back, 20), 10u);
    EXPECT_STREQ(back, data);

    BYTE fixed[4] = {1, 2, 3, 4};
    CMemFile attached(fixed, sizeof fixed);
    EXPECT_EQ(attached.GetLength(), 4u);
    attached.SeekToEnd();
    EXPECT_THROW(attached.Write(data, 1), CMemoryException);
    EXPECT_EQ(attached.Detach(), fixed);  // the caller's buffer comes back untouched
    EXPECT_THROW(attached.Seek(-1, CFile::begin), CFileException);
}
