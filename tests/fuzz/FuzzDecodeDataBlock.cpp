// Feeds arbitrary bytes to the common data block decoder.

#include <cstddef>
#include <cstdint>

#include "serial/CCommonLibraryInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CCommonLibraryInfo info;
    info.DecodeDataBlock(data, static_cast<UINT>(size));
    BYTE* encoded = nullptr;
    info.EncodeDataBlock(encoded);  // whatever was read must also write
    std::free(encoded);
    return 0;
}
