#include "host/CTotalLayerInformation.h"

#include "host/CSafeReadElementStart.h"
#include "host/CSafeStartAndEndElement.h"

void CTotalLayerInformation::Init(const CTotalLayerInformation& other) {
    m_nCount = other.m_nCount;
    m_layers.Init(other.m_layers);
}

void CTotalLayerInformation::DeleteAll() {
    m_nCount = 0;
    m_layers.DeleteAll();
}

void CTotalLayerInformation::SetLayerDefinition(const CLayerDefinition& layers) {
    m_layers.Init(layers);
    m_nCount = layers.GetCount();
}

void CTotalLayerInformation::XMLSerialize(CXMLArchive& ar, void* context) {
    if (ar.IsStoring()) {
        CSafeStartAndEndElement element(ar, "TotalLayerInformation");
        ar.WriteAttribute("Count", static_cast<long>(m_nCount));
        m_layers.XMLSerialize(ar, context);
        return;
    }
    if (!ar.ReadElementHeader("TotalLayerInformation")) {
        return;
    }
    m_nCount = static_cast<int>(ar.ReadAttribute("Count", 0L));
    m_layers.DeleteAll();
    {
        CSafeReadElementStart inside(ar);
        m_layers.XMLSerialize(ar, context);
    }
    ar.GetNextElem();
}
