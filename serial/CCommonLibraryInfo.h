#pragma once
// The common library data block of an object type: per document type, the layer and colour
// definitions its parts were stored with, turned into a byte block (a compressed XML archive)
// and back. Also holds the class list and string pool the part encoder works with, which are
// not part of the block.

#include "platform/afx/CMapStringToOb.h"
#include "platform/afx/CObject.h"

class CBlob;
class CColorDefinition;
class CDocTypeLibraryInfo;
class CDrwClassList;
class CLayerDefinition;
class CPoolStringStorage;
class CXMLArchive;

class CCommonLibraryInfo : public CObject {
    DECLARE_SERIAL(CCommonLibraryInfo)

public:
    CCommonLibraryInfo();
    ~CCommonLibraryInfo() override;
    CCommonLibraryInfo(const CCommonLibraryInfo&) = delete;
    CCommonLibraryInfo& operator=(const CCommonLibraryInfo&) = delete;

    // Owned; never null.
    CDrwClassList* GetClassList() const { return m_pClassList; }
    CPoolStringStorage* GetStringPool() const { return m_pStringStorage; }

    // Empties both dictionaries and the map.
    void DeleteAll();
    // Empties both dictionaries and leaves the map holding just `strDocType`'s entry with
    // copies of the given definitions. An entry already holding equal ones is kept as it is:
    // a run of parts stored with the same definitions builds it once.
    void ResetTo(const CString& strDocType, const CColorDefinition& colours,
                 const CLayerDefinition& layers);
    // The block's bytes into `pData` (the caller frees them with free()); their count.
    UINT EncodeDataBlock(BYTE*& pData);
    // A new blob of the block (the caller owns it), or null when it came out empty.
    CBlob* EncodeBlob();
    // Replaces the map with the block's content. False only for an empty block; a block that
    // is too short or unrecognised is skipped (true) and leaves the map as it was.
    bool DecodeDataBlock(const BYTE* pData, UINT nLength);
    // DecodeDataBlock over the blob, which it then frees; false for a null blob.
    bool DecodeBlob(CBlob* pBlob);

    // The entry of `strDocType` (exact name), or null. Not owned by the caller.
    CDocTypeLibraryInfo* GetDocTypeLibInfo(const CString& strDocType) const;
    // Stores a copy of `info` under the name, replacing what was there; the stored copy.
    CDocTypeLibraryInfo* SetDocTypeLibInfo(const CString& strDocType,
                                           const CDocTypeLibraryInfo& info);
    // Makes sure the name has an entry: from the current draw context, else from the plug-in
    // that serves the type, else empty. True when an entry exists afterwards.
    bool AssertDocTypeLibInfo(const CString& strDocType);
    // As above, but an absent entry is first built from the given definitions when both are.
    bool AssertDocTypeLibInfo(const CString& strDocType, const CColorDefinition* pColorDef,
                              const CLayerDefinition* pLayerDef);

    virtual void XMLSerialize(CXMLArchive& ar, void* pParent);
    virtual void XMLizeAttribute(CXMLArchive& ar);
    virtual void XMLizeElementData(CXMLArchive& ar);

    // The names in the map, for walking it.
    const CMapStringToOb& Entries() const { return m_mapDocTypeLibInfo; }

private:
    CDrwClassList* m_pClassList;           // owned
    CPoolStringStorage* m_pStringStorage;  // owned
    CMapStringToOb m_mapDocTypeLibInfo;    // values: owned CDocTypeLibraryInfo*
};
