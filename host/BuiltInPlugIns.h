#pragma once
// The reference host's document plug-ins: "Footprint", "Pad-Stack" and "CAD-Object", each
// with a real PCB layer set and colours, and the description and icon of its document type
// (drawn by tools/make_icons.py into host/icons).

#include <memory>

#include "host/CKV_DocInterface.h"
#include "platform/afx/CResourceModule.h"

// The host's record of one document type.
struct DOCINFOSTRUCT {
    const char* pszDocType = nullptr;  // document type name
    UINT nIconID = 0;                  // icon bitmap in hModule
    HINSTANCE hModule = nullptr;       // module holding icon and description
    // The type to take the information from; null for a type that is no library type.
    const char* pszRelatedDocType = nullptr;
    UINT nDescriptionID = 0;  // description string in hModule
};

// Layer ids of the built-in layer set.
enum BuiltInLayer : long {
    kLayerCopperTop = 1,
    kLayerCopperBottom = 2,
    kLayerSilkscreenTop = 3,
    kLayerSilkscreenBottom = 4,
    kLayerSolderMaskTop = 5,
    kLayerSolderMaskBottom = 6,
    kLayerPasteTop = 7,
    kLayerAssembly = 8,
    kLayerCourtyard = 9,
    kLayerMechanical = 10,
    kLayerDrill = 11,
};

// A document plug-in serving one document type.
class BuiltInDocPlugIn : public CKV_DocInterface {
public:
    BuiltInDocPlugIn(const char* docType, UINT iconID, UINT descriptionID);

    const CLayerDefinition* GetLayerDefinition() const override { return &m_layers; }
    const CColorDefinition* GetColorDefinition(int index) const override {
        return index == 0 ? &m_colors : nullptr;
    }
    CString GetDocTypeName() const override { return m_docType; }
    int GetDocTypeCount() const override { return 1; }
    CString GetDocType(int index) const override {
        return index == 0 ? CString(m_docType) : CString();
    }
    // The document information of type `index`; false when out of range.
    bool GetDocInfo(int index, DOCINFOSTRUCT& info) const;

private:
    const char* m_docType;
    UINT m_iconID;
    UINT m_descriptionID;
    CLayerDefinition m_layers;
    CColorDefinition m_colors;
};

// The module holding the plug-ins' descriptions and icons.
HINSTANCE BuiltInPlugInModule();
// Adds the three plug-ins to the plug-in manager, once.
void RegisterBuiltInPlugIns();

// The document type a drawing object is stored as: a group holding pads is a footprint, a
// lone pad or a group of only pads on one spot a pad stack, another group a mechanical CAD
// object; any other object has none (empty).
class CDrawObject;
CString GetLibDocTypeForObject(const CDrawObject* object);
// The plug-in serving a library document type (case ignored), or null.
CKV_DocInterface* GetDocForLibraryType(const CString& docType);
// Fills `info` for `docType`; false when no built-in plug-in serves it.
bool GetDocInfoForDocType(const CString& docType, DOCINFOSTRUCT& info);
