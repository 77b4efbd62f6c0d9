#pragma once
// What a preview needs to draw a document's layers: their number and definition.

#include "host/CLayerDefinition.h"

class CTotalLayerInformation {
public:
    explicit CTotalLayerInformation(int count = 0) : m_nCount(count) {}

    void Init(const CTotalLayerInformation& other);
    void DeleteAll();
    // Writes element "TotalLayerInformation" (Count) holding the layer definition; reading
    // replaces both from the element at the cursor and moves past it.
    void XMLSerialize(CXMLArchive& ar, void* context);

    void SetLayerDefinition(const CLayerDefinition& layers);
    const CLayerDefinition& GetLayerDefinition() const { return m_layers; }
    int GetCount() const { return m_nCount; }

private:
    int m_nCount;
    CLayerDefinition m_layers;
};
