#include "access/PartCodec.h"

#include "host/CBlob.h"
#include "host/CDrawObject.h"
#include "host/CLibraryObject.h"
#include "serial/CCommonLibraryInfo.h"
#include "serial/CDocTypeLibraryInfo.h"

std::unique_ptr<CBlob> PartCodec::Encode(CDrwSubSheet& sheet, CDrawObject& object,
                                         const CDocTypeLibraryInfo& stored,
                                         const CLayerDefinition* layers,
                                         const CColorDefinition* colours) {
    m_library.EmptyObjectList();
    m_library.AddObjectToList(&object);
    m_library.SetSourceColorLayerDef(stored.GetColorDefinition(), stored.GetLayerDefinition());
    std::unique_ptr<CBlob> blob(
        m_library.EncodeBlob(&sheet, m_block.GetClassList(), m_block.GetStringPool(),
                             layers ? layers : stored.GetLayerDefinition(),
                             colours ? colours : stored.GetColorDefinition(), false));
    m_library.EmptyObjectList();  // the object is the caller's
    return blob;
}

std::unique_ptr<CDrawObject> PartCodec::Decode(CDrwSubSheet& sheet,
                                               const CDocTypeLibraryInfo& stored, const CBlob& blob,
                                               CLayerDefinition* layers,
                                               CColorDefinition* colours) {
    m_library.EmptyObjectList();
    const bool decoded = m_library.DecodeBlob(&sheet, m_block.GetClassList(),
                                              m_block.GetStringPool(), stored.GetLayerDefinition(),
                                              stored.GetColorDefinition(), &blob, layers, colours);
    CDrwObList& list = *m_library.GetObjectList();
    std::unique_ptr<CDrawObject> first(decoded ? list.GetAt(0) : nullptr);
    for (int i = decoded ? 1 : 0; i < list.GetCount(); ++i) {
        delete list.GetAt(i);
    }
    list.RemoveAll();
    return first;
}
