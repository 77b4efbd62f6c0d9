#include "host/CLayerDefinition.h"

#include "host/CSafeReadElementStart.h"
#include "host/CSafeStartAndEndElement.h"

namespace {

constexpr const char* kKindNames[] = {
    "CopperTop",     "CopperBottom",     "CopperInner", "SilkscreenTop", "SilkscreenBottom",
    "SolderMaskTop", "SolderMaskBottom", "PasteTop",    "PasteBottom",   "Assembly",
    "Courtyard",     "Mechanical",       "Drill",
};

}  // namespace

const char* LayerKindName(LayerKind kind) {
    return kKindNames[static_cast<int>(kind)];
}

LayerKind LayerKindFromName(const CString& name) {
    for (int i = 0; i < static_cast<int>(std::size(kKindNames)); ++i) {
        if (name == kKindNames[i]) {
            return static_cast<LayerKind>(i);
        }
    }
    return LayerKind::kMechanical;
}

void CLayerDefinition::XMLSerialize(CXMLArchive& ar, void*) {
    if (ar.IsStoring()) {
        CSafeStartAndEndElement definition(ar, "LayerDefinition");
        for (const LayerInfo& layer : m_layers) {
            CSafeStartAndEndElement element(ar, "Layer");
            ar.WriteAttribute("Id", layer.id);
            ar.WriteAttribute("Name", layer.name);
            ar.WriteAttribute("Kind", CString(LayerKindName(layer.kind)));
        }
        return;
    }
    if (!ar.ReadElementHeader("LayerDefinition")) {
        return;
    }
    m_layers.clear();
    {
        CSafeReadElementStart inside(ar);
        for (bool more = ar.HasElement(); more && ar.IsElementName("Layer");
             more = ar.GetNextElem()) {
            LayerInfo layer;
            layer.id = ar.ReadAttribute("Id", 0L);
            layer.name = ar.ReadAttribute("Name", CString());
            layer.kind = LayerKindFromName(ar.ReadAttribute("Kind", CString()));
            m_layers.push_back(layer);
        }
    }
    ar.GetNextElem();
}

const LayerInfo* CLayerDefinition::FindById(long id) const {
    for (const LayerInfo& layer : m_layers) {
        if (layer.id == id) {
            return &layer;
        }
    }
    return nullptr;
}

const LayerInfo* CLayerDefinition::FindMatch(const LayerInfo& wanted) const {
    const LayerInfo* sameKind = nullptr;
    for (const LayerInfo& layer : m_layers) {
        if (layer.kind == wanted.kind) {
            if (layer.name.CompareNoCase(wanted.name) == 0) {
                return &layer;
            }
            sameKind = sameKind ? sameKind : &layer;
        }
    }
    if (sameKind) {
        return sameKind;
    }
    for (const LayerInfo& layer : m_layers) {
        if (layer.kind == LayerKind::kMechanical) {
            return &layer;
        }
    }
    return m_layers.empty() ? nullptr : &m_layers.front();
}
