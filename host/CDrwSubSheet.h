#pragma once
// A sheet of a design: its document type, layer and colour definitions and its objects. The
// library module makes scratch sheets to decode parts into.

#include <memory>
#include <vector>

#include "host/CColorDefinition.h"
#include "host/CDrwGroup.h"
#include "host/CLayerDefinition.h"

class CDrwSubSheet {
public:
    CDrwSubSheet() = default;
    // A scratch sheet on a copy of `layers`.
    explicit CDrwSubSheet(const CLayerDefinition* layers);
    // An empty sheet as the plug-in serving `docType` makes its documents: its layers, its
    // colours, its document type. Null when no plug-in serves the type.
    static std::unique_ptr<CDrwSubSheet> ForDocType(const CString& docType);

    const CString& GetDocType() const { return m_strDocType; }
    void SetDocType(const CString& docType) { m_strDocType = docType; }
    CLayerDefinition& GetLayerDefinition() { return m_layers; }
    CColorDefinition& GetColorDefinition() { return m_colors; }

    // Takes ownership.
    void AddObject(std::unique_ptr<CDrawObject> object, bool selected = false);
    int GetObjectCount() const { return static_cast<int>(m_objects.size()); }
    // The object at `index` (not owned), in the order they were added.
    CDrawObject* GetObject(int index) const { return m_objects.at(index).first.get(); }
    // The selected objects copied into one new group (the caller owns it); null when nothing is
    // selected. `copies` is kept for the host's signature: the sheet always copies.
    CDrwGroup* CreateGroupOfObjects(bool copies);
    // Each group of the sheet that can be stored as a part, with its name (not owned).
    struct ValidLibraryObject {
        CDrawObject* object;
        CString name;
    };
    void GetObjectsValidForLibrary(std::vector<ValidLibraryObject>& list) const;

private:
    CString m_strDocType;
    CLayerDefinition m_layers;
    CColorDefinition m_colors;
    std::vector<std::pair<std::unique_ptr<CDrawObject>, bool>> m_objects;  // object, selected
};
