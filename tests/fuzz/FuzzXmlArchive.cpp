// Feeds arbitrary bytes to the XML archive's reader, plain and compressed, and walks whatever
// tree comes out.

#include <cstddef>
#include <cstdint>

#include "host/CXMLArchive.h"
#include "platform/afx/CMemFile.h"

namespace {

void Walk(CXMLArchive& ar, int depth) {
    for (bool more = ar.HasElement(); more && depth < 64; more = ar.GetNextElem()) {
        ar.ReadAttribute("Name", CString());
        ar.ReadAttribute("Id", 0L);
        if (ar.IntoElement()) {
            Walk(ar, depth + 1);
            ar.OutOfElement();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (bool compressed : {false, true}) {
        CMemFile file(const_cast<BYTE*>(data), static_cast<UINT>(size));
        CXMLArchive ar("", "fuzz", &file, false, compressed);
        Walk(ar, 0);
        file.Detach();
    }
    return 0;
}
