#pragma once
// The drawing engine's part encoder and decoder. Its object list holds the objects of one part
// while it is encoded (not owned: the caller's) or after it was decoded (owned by whoever takes
// the list).

#include "host/CDrwObList.h"

class CBlob;
class CColorDefinition;
class CDrwClassList;
class CDrwSubSheet;
class CLayerDefinition;
class CPoolStringStorage;

class CLibraryObject {
public:
    CLibraryObject() = default;
    ~CLibraryObject();
    CLibraryObject(const CLibraryObject&) = delete;
    CLibraryObject& operator=(const CLibraryObject&) = delete;

    // The definitions of the document the objects come from; not owned.
    void SetSourceColorLayerDef(const CColorDefinition* colors, const CLayerDefinition* layers);
    void AddObjectToList(CDrawObject* object) { m_pList->Add(object); }
    // Forgets the objects without freeing them.
    void EmptyObjectList() { m_pList->RemoveAll(); }
    // Frees the objects in the list and empties it.
    void DestroyObjectList() { m_pList->DestroyContent(); }
    // Replaces the list; null gives the library object a new empty one. The previous list (and
    // the objects in it) becomes the caller's, who kept a pointer to it from GetObjectList.
    void SetObjectList(CDrwObList* list);
    CDrwObList* GetObjectList() const { return m_pList; }

    // The objects of the list as a new blob (the caller owns it), or null when the list is
    // empty. Classes and texts are also gathered into `classes` and `strings`.
    CBlob* EncodeBlob(CDrwSubSheet* sheet, CDrwClassList* classes, CPoolStringStorage* strings,
                      const CLayerDefinition* layers, const CColorDefinition* colors, bool flag);
    // Decodes `blob` (which stays the caller's) into new objects added to the list, mapping the
    // stored layers and colours onto `targetLayers` and `targetColors` (by name and kind; see
    // CLayerDefinition::FindMatch). An empty target definition is filled with the stored one
    // instead, so a part can be carried to another library with its definitions. True when a
    // decoded group heads the list; a damaged blob adds nothing and gives false.
    bool DecodeBlob(CDrwSubSheet* sheet, CDrwClassList* classes, CPoolStringStorage* strings,
                    const CLayerDefinition* storedLayers, const CColorDefinition* storedColors,
                    const CBlob* blob, CLayerDefinition* targetLayers,
                    CColorDefinition* targetColors);

private:
    CDrwObList* m_pList = new CDrwObList(false);  // owned while held here
    const CColorDefinition* m_pSourceColors = nullptr;
    const CLayerDefinition* m_pSourceLayers = nullptr;
};
