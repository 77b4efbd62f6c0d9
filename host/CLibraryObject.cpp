#include "host/CLibraryObject.h"

#include <vector>

#include "host/CBlob.h"
#include "host/CColorDefinition.h"
#include "host/CDrawObject.h"
#include "host/CDrwClassList.h"
#include "host/CDrwGroup.h"
#include "host/CLayerDefinition.h"
#include "host/CPoolStringStorage.h"
#include "host/PartBlobCodec.h"

namespace {

// Stored ids to the loading document's: a stored layer stands for the target's layer of the
// same name and kind, else of the same kind, else the target's first; a layer the stored
// definition does not know counts as mechanical. Without target layers the ids stay.
class StoredToTarget : public PartDefinitionMap {
public:
    StoredToTarget(const CLayerDefinition* storedLayers, const CColorDefinition* storedColors,
                   const CLayerDefinition* targetLayers, const CColorDefinition* targetColors)
        : m_storedLayers(storedLayers),
          m_storedColors(storedColors),
          m_targetLayers(targetLayers),
          m_targetColors(targetColors) {}

    long Layer(long storedId) const override {
        if (m_targetLayers == nullptr || m_targetLayers->GetCount() == 0) {
            return storedId;
        }
        const LayerInfo* stored = m_storedLayers ? m_storedLayers->FindById(storedId) : nullptr;
        const LayerInfo unknown{storedId, "", LayerKind::kMechanical};
        return m_targetLayers->FindMatch(stored ? *stored : unknown)->id;
    }

    long Color(long storedId) const override {
        if (m_targetColors == nullptr || m_targetColors->GetCount() == 0 || storedId == 0) {
            return storedId;
        }
        const ColorInfo* stored = m_storedColors ? m_storedColors->FindById(storedId) : nullptr;
        return m_targetColors->FindMatch(stored ? *stored : ColorInfo{storedId, "", 0})->id;
    }

private:
    const CLayerDefinition* m_storedLayers;
    const CColorDefinition* m_storedColors;
    const CLayerDefinition* m_targetLayers;
    const CColorDefinition* m_targetColors;
};

}  // namespace

CLibraryObject::~CLibraryObject() {
    delete m_pList;
}

void CLibraryObject::SetSourceColorLayerDef(const CColorDefinition* colors,
                                            const CLayerDefinition* layers) {
    m_pSourceColors = colors;
    m_pSourceLayers = layers;
}

void CLibraryObject::SetObjectList(CDrwObList* list) {
    m_pList = list != nullptr ? list : new CDrwObList(false);
}

CBlob* CLibraryObject::EncodeBlob(CDrwSubSheet*, CDrwClassList* classes,
                                  CPoolStringStorage* strings, const CLayerDefinition*,
                                  const CColorDefinition*, bool) {
    if (m_pList->GetCount() == 0) {
        return nullptr;
    }
    PartBlobWriter out;
    out.Unsigned(static_cast<std::uint64_t>(m_pList->GetCount()));
    for (int i = 0; i < m_pList->GetCount(); ++i) {
        CDrawObject::EncodeObject(*m_pList->GetAt(i), out);
    }
    for (const CRuntimeClass* cls : out.Classes()) {
        if (classes) {
            classes->Register(cls);
        }
    }
    for (const CString& text : out.Strings()) {
        if (strings) {
            strings->Add(text);
        }
    }
    const std::vector<std::uint8_t> bytes = out.Finish();
    return new CBlob(bytes.data(), static_cast<DWORD>(bytes.size()));
}

bool CLibraryObject::DecodeBlob(CDrwSubSheet*, CDrwClassList* classes, CPoolStringStorage* strings,
                                const CLayerDefinition* storedLayers,
                                const CColorDefinition* storedColors, const CBlob* blob,
                                CLayerDefinition* targetLayers, CColorDefinition* targetColors) {
    if (blob == nullptr || blob->m_nSize == 0) {
        return false;
    }
    if (targetLayers != nullptr && targetLayers->GetCount() == 0 && storedLayers != nullptr) {
        targetLayers->Init(*storedLayers);
    }
    if (targetColors != nullptr && targetColors->GetCount() == 0 && storedColors != nullptr) {
        targetColors->Init(*storedColors);
    }
    const StoredToTarget map(storedLayers, storedColors, targetLayers, targetColors);
    std::vector<std::unique_ptr<CDrawObject>> decoded;
    try {
        PartBlobReader in(blob->m_pData, blob->m_nSize);
        in.ReadHeader();
        const std::size_t count = in.Count(4);
        for (std::size_t i = 0; i < count; ++i) {
            decoded.push_back(CDrawObject::DecodeObject(in, map, 0));
            if (classes) {
                classes->Register(decoded.back()->GetRuntimeClass());
            }
        }
        if (!in.AtEnd()) {
            throw PartBlobError("the part data goes on after its last object");
        }
    } catch (const PartBlobError&) {
        return false;
    }
    for (auto& object : decoded) {
        if (strings && object->GetName()) {
            strings->Add(*object->GetName());
        }
        m_pList->Add(object.release());
    }
    return m_pList->GetCount() > 0 && m_pList->GetAt(0)->IsGroup();
}
