#include "controls/LibraryDragPayload.h"

#include <unistd.h>

#include "platform/afx/CArchive.h"
#include "platform/afx/CDWordArray.h"
#include "platform/afx/CException.h"
#include "platform/afx/CMemFile.h"

namespace {

constexpr UINT kGrowBytes = 1024;

DWORD ThisProcess() {
    return static_cast<DWORD>(getpid());
}

bool IsTier(DWORD value) {
    return value == DATABASETYPE_MASTER || value == DATABASETYPE_CORPORATE ||
           value == DATABASETYPE_USER;
}

}  // namespace

QByteArray LibraryDragPayload::Encode() const {
    CDWordArray words;
    for (const LibraryItem& item : items) {
        words.Add(static_cast<DWORD>(item.id));
        words.Add(static_cast<DWORD>(item.tier));
    }
    CMemFile file(kGrowBytes);
    {
        CArchive archive(&file, CArchive::store);
        archive << static_cast<DWORD>(kind) << ThisProcess();
        words.Serialize(archive);
        archive.Close();
    }
    const auto length = static_cast<qsizetype>(file.GetLength());
    BYTE* buffer = file.Detach();
    QByteArray bytes(reinterpret_cast<const char*>(buffer), length);
    free(buffer);  // NOLINT: CMemFile's buffers are malloc'ed
    return bytes;
}

std::optional<LibraryDragPayload> LibraryDragPayload::Decode(const QByteArray& bytes) {
    QByteArray copy = bytes;  // the file reads from a buffer of its own
    CMemFile file(reinterpret_cast<BYTE*>(copy.data()), static_cast<UINT>(copy.size()));
    CArchive archive(&file, CArchive::load);
    DWORD kind = 0;
    DWORD process = 0;
    CDWordArray words;
    try {
        archive >> kind >> process;
        words.Serialize(archive);
    } catch (const CException&) {
        return std::nullopt;
    }
    if (kind > 1 || process != ThisProcess() || words.GetSize() == 0 || words.GetSize() % 2 != 0 ||
        file.GetPosition() != file.GetLength()) {
        return std::nullopt;
    }
    LibraryDragPayload payload;
    payload.kind = static_cast<Kind>(kind);
    for (int at = 0; at < words.GetSize(); at += 2) {
        if (!IsTier(words[at + 1])) {
            return std::nullopt;
        }
        payload.items.push_back({static_cast<long>(static_cast<std::int32_t>(words[at])),
                                 static_cast<DATABASETYPE>(words[at + 1])});
    }
    if (payload.kind == Kind::kCategory && payload.items.size() != 1) {
        return std::nullopt;
    }
    return payload;
}
