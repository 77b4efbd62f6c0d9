#include "serial/CDocTypeLibraryInfo.h"

#include "host/CSafeReadElementStart.h"
#include "host/CSafeStartAndEndElement.h"
#include "host/CXMLArchive.h"

IMPLEMENT_SERIAL(CDocTypeLibraryInfo, CObject, 600 | VERSIONABLE_SCHEMA)

CDocTypeLibraryInfo::CDocTypeLibraryInfo()
    : m_pLayerDef(new CLayerDefinition), m_pColorDef(new CColorDefinition) {}

CDocTypeLibraryInfo::CDocTypeLibraryInfo(const CLayerDefinition* pLayerDef,
                                         const CColorDefinition* pColorDef)
    : CDocTypeLibraryInfo() {
    m_pLayerDef->Init(*pLayerDef);
    m_pColorDef->Init(*pColorDef);
}

CDocTypeLibraryInfo::CDocTypeLibraryInfo(const CDocTypeLibraryInfo& other)
    : CObject(), m_pLayerDef(new CLayerDefinition), m_pColorDef(new CColorDefinition) {
    Init(other);
}

CDocTypeLibraryInfo& CDocTypeLibraryInfo::operator=(const CDocTypeLibraryInfo& other) {
    if (this != &other) {
        Init(other);
    }
    return *this;
}

CDocTypeLibraryInfo::~CDocTypeLibraryInfo() {
    delete m_pLayerDef;
    delete m_pColorDef;
}

void CDocTypeLibraryInfo::Init(const CDocTypeLibraryInfo& other) {
    m_pLayerDef->Init(*other.m_pLayerDef);
    m_pColorDef->Init(*other.m_pColorDef);
}

void CDocTypeLibraryInfo::XMLSerialize(CXMLArchive& ar, void* pParent) {
    if (ar.IsStoring()) {
        if (pParent == this) {
            XMLizeAttribute(ar);
            XMLizeElementData(ar);
            return;
        }
        CSafeStartAndEndElement element(ar, "DocTypeLibraryInfo");
        XMLizeAttribute(ar);
        XMLizeElementData(ar);
        return;
    }
    if (pParent != this && !ar.ReadElementHeader("DocTypeLibraryInfo")) {
        return;
    }
    if (!ar.IsAttribute("Class", GetRuntimeClass()->m_lpszClassName)) {
        return;
    }
    XMLizeAttribute(ar);
    CSafeReadElementStart inside(ar);
    XMLizeElementData(ar);
}

void CDocTypeLibraryInfo::XMLizeAttribute(CXMLArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteAttribute("Class", CString(GetRuntimeClass()->m_lpszClassName));
    }
}

void CDocTypeLibraryInfo::XMLizeElementData(CXMLArchive& ar) {
    if (ar.IsLoading()) {
        m_pLayerDef->DeleteAll();
        m_pColorDef->DeleteAll();
    }
    m_pLayerDef->XMLSerialize(ar, this);
    m_pColorDef->XMLSerialize(ar, this);
}
