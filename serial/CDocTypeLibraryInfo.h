#pragma once
// One entry of the common library data block: the layer and colour definitions of one
// document type in one database, owned as private copies.

#include "host/CColorDefinition.h"
#include "host/CLayerDefinition.h"
#include "platform/afx/CObject.h"

class CXMLArchive;

class CDocTypeLibraryInfo : public CObject {
    DECLARE_SERIAL(CDocTypeLibraryInfo)

public:
    CDocTypeLibraryInfo();
    // Copies of both definitions, which must be given.
    CDocTypeLibraryInfo(const CLayerDefinition* pLayerDef, const CColorDefinition* pColorDef);
    CDocTypeLibraryInfo(const CDocTypeLibraryInfo& other);
    CDocTypeLibraryInfo& operator=(const CDocTypeLibraryInfo& other);
    ~CDocTypeLibraryInfo() override;

    // Never null; owned.
    CLayerDefinition* GetLayerDefinition() const { return m_pLayerDef; }
    CColorDefinition* GetColorDefinition() const { return m_pColorDef; }

    // Writing: element "DocTypeLibraryInfo" (Class) holding both definitions, or just its
    // attribute and content when `pParent` is this object. Reading: the element at the cursor,
    // when its Class is this class, replaces both definitions.
    virtual void XMLSerialize(CXMLArchive& ar, void* pParent);
    virtual void XMLizeAttribute(CXMLArchive& ar);
    virtual void XMLizeElementData(CXMLArchive& ar);

protected:
    void Init(const CDocTypeLibraryInfo& other);

private:
    CLayerDefinition* m_pLayerDef;  // owned
    CColorDefinition* m_pColorDef;  // owned
};
