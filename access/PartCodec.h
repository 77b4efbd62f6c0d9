#pragma once
// Turns one drawing object into a part blob and a part blob back into drawing objects, against
// the definitions one document type has in a common data block. Works on the handler's part
// encoder and data block (not owned) and keeps nothing between calls.

#include <memory>

class CBlob;
class CColorDefinition;
class CCommonLibraryInfo;
class CDocTypeLibraryInfo;
class CDrawObject;
class CDrwSubSheet;
class CLayerDefinition;
class CLibraryObject;

class PartCodec {
public:
    PartCodec(CLibraryObject& library, CCommonLibraryInfo& block)
        : m_library(library), m_block(block) {}

    // `object` (which stays the caller's) encoded against `stored`, an entry of the block; the
    // object was drawn with `layers` and `colours`, or with the entry's own where they are
    // null. Null when nothing could be encoded.
    std::unique_ptr<CBlob> Encode(CDrwSubSheet& sheet, CDrawObject& object,
                                  const CDocTypeLibraryInfo& stored, const CLayerDefinition* layers,
                                  const CColorDefinition* colours);
    // The object `blob` holds, stored against `stored` and mapped onto `layers` and `colours`
    // (filled with the stored definitions where empty); null when the blob does not decode.
    std::unique_ptr<CDrawObject> Decode(CDrwSubSheet& sheet, const CDocTypeLibraryInfo& stored,
                                        const CBlob& blob, CLayerDefinition* layers,
                                        CColorDefinition* colours);

private:
    CLibraryObject& m_library;
    CCommonLibraryInfo& m_block;
};
