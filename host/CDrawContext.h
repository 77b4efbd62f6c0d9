#pragma once
// The drawing engine's current draw context: the layer and colour definitions of the document
// being edited. There is none while no document is open.

#include "host/CColorDefinition.h"
#include "host/CLayerDefinition.h"

class CDrawContext {
public:
    CLayerDefinition& GetLayerDefinition() { return m_layers; }
    CColorDefinition& GetColorDefinition() { return m_colors; }
    const CLayerDefinition& GetLayerDefinition() const { return m_layers; }
    const CColorDefinition& GetColorDefinition() const { return m_colors; }

private:
    CLayerDefinition m_layers;
    CColorDefinition m_colors;
};

// The current draw context, or null. Not owned by the caller.
CDrawContext* GetDrawContext();
// Makes `context` (not owned; null for none) the current one.
void SetDrawContext(CDrawContext* context);
