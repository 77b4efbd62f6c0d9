// What a drag carries and which effect the keys choose: plain functions, asked directly.

#include <gtest/gtest.h>

#include "controls/CDragPartTarget.h"
#include "controls/LibraryDragPayload.h"
#include "platform/afx/CArchive.h"
#include "platform/afx/CMemFile.h"

namespace {

using Kind = LibraryDragPayload::Kind;

TEST(LibraryDragPayloadTest, CarriesItsItemsAndRefusesDataItDidNotMake) {
    const LibraryDragPayload parts{
        Kind::kParts,
        {{7, DATABASETYPE_USER}, {-3, DATABASETYPE_MASTER}, {9, DATABASETYPE_CORPORATE}}};
    const auto back = LibraryDragPayload::Decode(parts.Encode());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->kind, Kind::kParts);
    EXPECT_EQ(back->items, parts.items);

    const LibraryDragPayload category{Kind::kCategory, {{12, DATABASETYPE_CORPORATE}}};
    ASSERT_TRUE(LibraryDragPayload::Decode(category.Encode()));
    EXPECT_EQ(LibraryDragPayload::Decode(category.Encode())->items, category.items);

    const QByteArray whole = parts.Encode();
    for (qsizetype length = 0; length < whole.size(); ++length) {
        EXPECT_FALSE(LibraryDragPayload::Decode(whole.left(length))) << length;
    }
    EXPECT_FALSE(LibraryDragPayload::Decode(whole + QByteArray(1, '\0')));
    // Two categories at once, or a category of no library, are nothing a tree drags.
    EXPECT_FALSE(LibraryDragPayload::Decode(LibraryDragPayload{
        Kind::kCategory,
        {{1, DATABASETYPE_USER},
         {2, DATABASETYPE_USER}}}.Encode()));
    EXPECT_FALSE(LibraryDragPayload::Decode(
        LibraryDragPayload{Kind::kParts, {{1, static_cast<DATABASETYPE>(7)}}}.Encode()));
    EXPECT_FALSE(LibraryDragPayload::Decode(LibraryDragPayload{Kind::kParts, {}}.Encode()));
}

// The layout written by hand: another process's payload holds ids of its own libraries.
TEST(LibraryDragPayloadTest, APayloadOfAnotherProcessOrKindIsRefused) {
    const auto made = [](DWORD kind, DWORD process) {
        CMemFile file;
        {
            CArchive archive(&file, CArchive::store);
            archive << kind << process;
            archive.WriteCount(2);
            archive << DWORD{5} << DWORD{DATABASETYPE_USER};
        }
        const auto length = static_cast<qsizetype>(file.GetLength());
        BYTE* buffer = file.Detach();
        QByteArray bytes(reinterpret_cast<const char*>(buffer), length);
        free(buffer);  // NOLINT: CMemFile's buffer
        return bytes;
    };
    const auto self = static_cast<DWORD>(getpid());
    ASSERT_TRUE(LibraryDragPayload::Decode(made(1, self)));
    EXPECT_FALSE(LibraryDragPayload::Decode(made(1, self + 1)));
    EXPECT_FALSE(LibraryDragPayload::Decode(made(2, self)));
}

TEST(DropEffectTest, CtrlAloneCopiesAndAMoveTheSourceRefusesBecomesACopy) {
    constexpr DROPEFFECT both = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(CDragPartTarget::EffectForKeys(MK_LBUTTON, both), DROPEFFECT_MOVE);
    EXPECT_EQ(CDragPartTarget::EffectForKeys(MK_LBUTTON | MK_CONTROL, both), DROPEFFECT_COPY);
    EXPECT_EQ(CDragPartTarget::EffectForKeys(MK_CONTROL | MK_SHIFT, both), DROPEFFECT_MOVE);
    EXPECT_EQ(CDragPartTarget::EffectForKeys(MK_SHIFT, both), DROPEFFECT_MOVE);
    EXPECT_EQ(CDragPartTarget::EffectForKeys(0, DROPEFFECT_COPY), DROPEFFECT_COPY);
    EXPECT_EQ(CDragPartTarget::EffectForKeys(MK_CONTROL | MK_SHIFT, DROPEFFECT_COPY),
              DROPEFFECT_COPY);
    // A copy asked for is never made a move.
    EXPECT_EQ(CDragPartTarget::EffectForKeys(MK_CONTROL, DROPEFFECT_MOVE), DROPEFFECT_NONE);
    EXPECT_EQ(CDragPartTarget::EffectForKeys(0, DROPEFFECT_NONE), DROPEFFECT_NONE);
}

}  // namespace
