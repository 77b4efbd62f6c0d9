// The handler's loading of parts, by id or by name, and the common data block of the object
// type they are decoded against.

#include <map>
#include <memory>

#include "access/CMSAccessDBHandler.h"
#include "access/PartCodec.h"
#include "host/CBlob.h"
#include "host/CDrwGroup.h"
#include "host/CLibraryObject.h"
#include "host/SheetOrScratch.h"
#include "platform/afx/CException.h"
#include "platform/afx/CStringArray.h"
#include "platform/dao/DaoTransaction.h"
#include "serial/CCommonLibraryInfo.h"
#include "tables/CRSBlobs.h"
#include "tables/CRSObjectTypes.h"
#include "tables/CRSObjects.h"

using vaultry::dao::DaoTransaction;

// A block that is missing, or from which nothing could be read, leaves no block held: a part
// of that type must not be decoded against the definitions of the type held before.
bool CMSAccessDBHandler::LoadCommonDataBlock(long objectTypeID) {
    if (m_lCommonBlockTypeID == objectTypeID) {
        return true;
    }
    ClearupCommonDataBlock();
    CBlob* blob = nullptr;
    m_pRSObjectTypes->Load(objectTypeID, blob);
    if (blob == nullptr || !m_pCommonLibraryInfo->DecodeBlob(blob) ||
        m_pCommonLibraryInfo->Entries().GetCount() == 0) {
        ClearupCommonDataBlock();
        return false;
    }
    m_lCommonBlockTypeID = objectTypeID;
    return true;
}

void CMSAccessDBHandler::ClearupCommonDataBlock() {
    m_lCommonBlockTypeID = -1;
    m_pCommonLibraryInfo->DeleteAll();
}

long CMSAccessDBHandler::SaveCommonDataBlock2(const CString& docType) {
    if (m_pCommonLibraryInfo == nullptr) {
        return -1;
    }
    return m_typeFinder.TypeFor(*this, *m_pRSObjectTypes, *m_pCommonLibraryInfo, docType);
}

bool CMSAccessDBHandler::SaveCommonDataBlock(long objectTypeID) {
    const CString docType = m_pRSObjectTypes->GetDocType(objectTypeID);
    if (!m_pCommonLibraryInfo->AssertDocTypeLibInfo(docType)) {
        return false;
    }
    CBlob* blob = m_pCommonLibraryInfo->EncodeBlob();
    return blob != nullptr && m_pRSObjectTypes->Save(objectTypeID, blob);
}

// The part in `blob`, stored under object type `typeID`, decoded against that type's data
// block; null when the type, its block or its document type is unknown, or the blob is missing
// or damaged.
std::unique_ptr<CDrawObject> CMSAccessDBHandler::DecodePart(CDrwSubSheet& sheet, long typeID,
                                                            const CBlob* blob,
                                                            CLayerDefinition* layers,
                                                            CColorDefinition* colours) {
    if (typeID <= 0 || blob == nullptr) {
        return nullptr;  // asked before the type set, which reads itself again on a miss
    }
    const CString docType = m_pRSObjectTypes->GetDocType(typeID);
    if (docType.IsEmpty() || !LoadCommonDataBlock(typeID) ||
        !m_pCommonLibraryInfo->AssertDocTypeLibInfo(docType)) {
        return nullptr;
    }
    return Codec().Decode(sheet, *m_pCommonLibraryInfo->GetDocTypeLibInfo(docType), *blob, layers,
                          colours);
}

long CMSAccessDBHandler::LoadObject(CDrwSubSheet* sheet, CDrwGroup*& group, long objectID,
                                    CLayerDefinition* layers, CColorDefinition* colours) {
    const SheetOrScratch on(sheet);
    delete group;
    group = nullptr;
    // One read of the file for the whole load: the lookups share its lock. The part comes with
    // its content in one statement; its type's definitions are cached after the first load.
    DaoTransaction reading(*this, DaoTransaction::Mode::kSingleRead);
    CBlob* blob = nullptr;
    const long typeID = m_pRSObjects->LoadObject(objectID, blob);
    const std::unique_ptr<CBlob> owned(blob);
    std::unique_ptr<CDrawObject> decoded = DecodePart(*on.get(), typeID, blob, layers, colours);
    if (decoded == nullptr) {
        return -1;
    }
    group = static_cast<CDrwGroup*>(decoded.release());  // a decoded part is headed by a group
    return typeID;
}

bool CMSAccessDBHandler::Decodes(long typeID, const CBlob& blob) {
    const SheetOrScratch scratch(nullptr);
    CLayerDefinition layers;
    CColorDefinition colours;
    return DecodePart(*scratch.get(), typeID, &blob, &layers, &colours) != nullptr;
}

// Walks the rows of `name` (of `docTypes`) in the part set, decoding each; keeps the last one
// decoded (or the first, with `firstOnly`) in `object` and its category in `treeID`. A row's
// document type is looked up in the type set, which the decoding reads anyway, rather than
// asked of the database as a list of type ids first.
bool CMSAccessDBHandler::LoadNamed(CDrwSubSheet& sheet, const CString& name,
                                   const CString& docTypes, bool firstOnly,
                                   std::unique_ptr<CDrawObject>& object, long& treeID,
                                   CLayerDefinition* layers, CColorDefinition* colours) {
    const CRSObjects::BlobsReadAlong withContent(*m_pRSObjects);
    ShowPartsNamed(name);
    for (; !m_pRSObjects->IsEOF(); m_pRSObjects->MoveNext()) {
        if (!m_pRSObjectTypes->IsOfDocTypes(m_pRSObjects->m_lObjectTypeID, docTypes)) {
            continue;
        }
        CBlob* loaded = nullptr;
        m_pRSObjects->LoadBlob(loaded);
        const std::unique_ptr<CBlob> blob(loaded);
        if (auto decoded =
                DecodePart(sheet, m_pRSObjects->m_lObjectTypeID, blob.get(), layers, colours)) {
            object = std::move(decoded);
            treeID = m_pRSObjects->m_lObjectTreeID;
            if (firstOnly) {
                return true;
            }
        }
    }
    return object != nullptr;
}

bool CMSAccessDBHandler::LoadObjects(CDrwSubSheet* sheet, CDrawObject**& objects,
                                     const CStringArray& names, const CString& docType,
                                     CLayerDefinition* layers, CColorDefinition* colours) {
    long* treeIDs = nullptr;
    const bool result =
        LoadNamedParts(sheet, objects, treeIDs, names, docType, layers, colours, false);
    delete[] treeIDs;
    return result;
}

bool CMSAccessDBHandler::LoadObjects(CDrwSubSheet* sheet, CDrawObject**& objects, long*& treeIDs,
                                     const CStringArray& names, const CString& docType,
                                     CLayerDefinition* layers, CColorDefinition* colours) {
    return LoadNamedParts(sheet, objects, treeIDs, names, docType, layers, colours, true);
}

// Both forms handle every name; an entry ends with the last matching row that decoded, or with
// the first when `firstRowOnly`. A part asked for again is cloned, not decoded again.
bool CMSAccessDBHandler::LoadNamedParts(CDrwSubSheet* sheet, CDrawObject**& objects, long*& treeIDs,
                                        const CStringArray& names, const CString& docType,
                                        CLayerDefinition* layers, CColorDefinition* colours,
                                        bool firstRowOnly) {
    delete[] objects;
    delete[] treeIDs;
    objects = nullptr;
    treeIDs = nullptr;
    if (m_pRSObjects == nullptr || names.GetSize() == 0) {
        return false;
    }
    objects = new CDrawObject*[static_cast<std::size_t>(names.GetSize())]();
    treeIDs = new long[static_cast<std::size_t>(names.GetSize())]();
    const SheetOrScratch on(sheet);
    // One read of the file for the whole load. A single name's rows, with their content, come
    // from one statement, as a load by id's do.
    DaoTransaction reading(*this, names.GetSize() == 1 ? DaoTransaction::Mode::kSingleRead
                                                       : DaoTransaction::Mode::kRead);
    struct Loaded {
        int uses = 0;  // entries of `names` still to be given the object
        bool read = false;
        std::unique_ptr<CDrawObject> object;
        long treeID = 0;
    };
    std::map<CString, Loaded> byName;  // case as given
    for (int i = 0; i < names.GetSize(); ++i) {
        ++byName[names[i]].uses;
    }
    bool walked = false;
    for (int i = 0; i < names.GetSize(); ++i) {
        try {
            Loaded& loaded = byName[names[i]];
            if (!loaded.read) {
                LoadNamed(*on.get(), names[i], docType, firstRowOnly, loaded.object, loaded.treeID,
                          layers, colours);
                loaded.read = true;
            }
            // A repeated name gets copies; its last entry, like a name given once, the object.
            if (loaded.object) {
                objects[i] = --loaded.uses == 0 ? loaded.object.release()
                                                : static_cast<CDrawObject*>(loaded.object->Clone());
                treeIDs[i] = loaded.treeID;
            }
            walked = true;
        } catch (const CException&) {
            // This name's entry stays empty; the next name is taken.
        }
    }
    m_pLibraryObject->EmptyObjectList();
    return walked;
}
