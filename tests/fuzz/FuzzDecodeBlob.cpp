// Feeds arbitrary bytes to the part decoder, mapping onto the built-in layer set.

#include <cstddef>
#include <cstdint>

#include "host/BuiltInPlugIns.h"
#include "host/CBlob.h"
#include "host/CLibraryObject.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RegisterBuiltInPlugIns();
    const CLayerDefinition* layers = GetDocForLibraryType("Footprint")->GetLayerDefinition();
    CLayerDefinition target;
    target.Init(*layers);
    const CBlob blob(data, static_cast<DWORD>(size));
    CLibraryObject decoder;
    decoder.DecodeBlob(nullptr, nullptr, nullptr, layers, nullptr, &blob, &target, nullptr);
    CDrwObList* list = decoder.GetObjectList();
    if (list->GetCount() > 0) {
        delete decoder.EncodeBlob(nullptr, nullptr, nullptr, layers, nullptr, false);
    }
    decoder.DestroyObjectList();
    return 0;
}
