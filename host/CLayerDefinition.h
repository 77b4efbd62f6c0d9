#pragma once
// The layers of a document: each with an id, a name and a kind. Parts are stored against the
// layer definition of their source document and mapped onto the target document's layers when
// they are loaded (by name and kind; see FindMatch).

#include <vector>

#include "platform/afx/CString.h"

class CXMLArchive;

enum class LayerKind {
    kCopperTop,
    kCopperBottom,
    kCopperInner,
    kSilkscreenTop,
    kSilkscreenBottom,
    kSolderMaskTop,
    kSolderMaskBottom,
    kPasteTop,
    kPasteBottom,
    kAssembly,
    kCourtyard,
    kMechanical,
    kDrill,
};

// The kind's name as stored ("CopperTop", ...), and back; unknown names read as kMechanical.
const char* LayerKindName(LayerKind kind);
LayerKind LayerKindFromName(const CString& name);

struct LayerInfo {
    long id = 0;
    CString name;
    LayerKind kind = LayerKind::kMechanical;

    bool operator==(const LayerInfo& other) const = default;
};

class CLayerDefinition {
public:
    void Init(const CLayerDefinition& other) { m_layers = other.m_layers; }
    void DeleteAll() { m_layers.clear(); }
    // Writes element "LayerDefinition" with one "Layer" (Id, Name, Kind) per layer; reading
    // replaces the layers with those of the element at the cursor and moves past it.
    void XMLSerialize(CXMLArchive& ar, void* context);

    void Add(const LayerInfo& layer) { m_layers.push_back(layer); }
    int GetCount() const { return static_cast<int>(m_layers.size()); }
    const LayerInfo& GetLayer(int index) const {
        return m_layers.at(static_cast<std::size_t>(index));
    }
    // The layer with that id, or null.
    const LayerInfo* FindById(long id) const;
    // The layer of this definition that stands for `layer` of another document: the one of the
    // same name (ignoring case) and kind; else the first of the same kind; else the first
    // mechanical layer (so nothing lands on copper by chance); else the first layer at all.
    // Null only when this definition has no layers.
    const LayerInfo* FindMatch(const LayerInfo& layer) const;

    bool operator==(const CLayerDefinition& other) const { return m_layers == other.m_layers; }

private:
    std::vector<LayerInfo> m_layers;
};
