#pragma once
// A document plug-in's interface as the library module uses it: the document types it serves
// and the layer and colour definitions of its documents.

#include "host/CColorDefinition.h"
#include "host/CLayerDefinition.h"

class CKV_DocInterface {
public:
    virtual ~CKV_DocInterface() = default;

    virtual const CLayerDefinition* GetLayerDefinition() const = 0;
    // The plug-in's colour definitions; the library uses the one at index 0. Null when the
    // index is out of range.
    virtual const CColorDefinition* GetColorDefinition(int index) const = 0;
    // The main document type the plug-in serves.
    virtual CString GetDocTypeName() const = 0;
    // The document types it serves, by index.
    virtual int GetDocTypeCount() const = 0;
    virtual CString GetDocType(int index) const = 0;
    bool ServesDocType(const CString& docType) const;
};
