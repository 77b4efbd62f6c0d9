#include "platform/afx/CDWordArray.h"

#include "platform/afx/CArchive.h"
#include "platform/afx/CException.h"

void CDWordArray::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<DWORD>(GetSize()));
        for (DWORD value : *this) {
            ar << value;
        }
        return;
    }
    const DWORD count = ar.ReadCount();
    // Each element takes four bytes; a count the file cannot hold is damage, not a size.
    const std::uint64_t remaining = ar.GetFile()->GetLength() - ar.GetFile()->GetPosition();
    if (static_cast<std::uint64_t>(count) * 4 > remaining) {
        throw CArchiveException(CArchiveException::endOfFile);
    }
    RemoveAll();
    SetSize(static_cast<int>(count));
    for (DWORD& value : *this) {
        ar >> value;
    }
}
