// The handler's operations on parts: storing, replacing, loading, copying, renaming, lookups
// and the common data block they share.

#include <map>
#include <memory>
#include <optional>

#include "access/CMSAccessDBHandler.h"
#include "host/BuiltInPlugIns.h"
#include "host/CBlob.h"
#include "host/CDrwGroup.h"
#include "host/CDrwSubSheet.h"
#include "host/CKVStatusBar.h"
#include "host/CLibraryObject.h"
#include "host/CSet.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/CStringArray.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/CDaoRecordset.h"
#include "platform/dao/DaoQuote.h"
#include "platform/dao/DaoTransaction.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"
#include "serial/CCommonLibraryInfo.h"
#include "serial/CDocTypeLibraryInfo.h"
#include "tables/CRSBlobs.h"
#include "tables/CRSObjectTree.h"
#include "tables/CRSObjectTypes.h"
#include "tables/CRSObjects.h"

using vaultry::dao::DaoTransaction;
using vaultry::dao::QuoteText;

namespace {

// Parts of one SaveObjects call are committed together in batches of this many: each part is
// still stored whole or not at all (a savepoint of its own), but the file is synced once per
// batch instead of once per part.
constexpr int kPartsPerCommit = 64;

bool Contains(const CDWordArray& ids, long id) {
    for (DWORD value : ids) {
        if (static_cast<long>(value) == id) {
            return true;
        }
    }
    return false;
}

// Where the definitions of a store live when the caller gave none: copies of the block's,
// which stay valid after the block is emptied for the next part.
struct DefinitionCopies {
    CLayerDefinition layers;
    CColorDefinition colours;
};

}  // namespace

// The part set filtered to `name`; the filter stays set, as callers expect.
void CMSAccessDBHandler::ShowPartsNamed(const CString& name) {
    m_pRSObjects->m_strFilter = "strObjectName=" + QuoteText(name);
    if (m_pRSObjects->IsOpen()) {
        m_pRSObjects->Requery();
    } else {
        m_pRSObjects->Open();
    }
}

bool CMSAccessDBHandler::LoadCommonDataBlock(long objectTypeID) {
    if (m_lCommonBlockTypeID == objectTypeID) {
        return true;
    }
    CBlob* blob = nullptr;
    m_pRSObjectTypes->Load(objectTypeID, blob);
    m_lCommonBlockTypeID = objectTypeID;
    return m_pCommonLibraryInfo->DecodeBlob(blob);
}

void CMSAccessDBHandler::ClearupCommonDataBlock() {
    m_lCommonBlockTypeID = -1;
    m_pCommonLibraryInfo->DeleteAll();
}

bool CMSAccessDBHandler::StoredBlock::Matches(const CString& type,
                                              const CDocTypeLibraryInfo& info) const {
    return type == docType && *info.GetLayerDefinition() == layers &&
           *info.GetColorDefinition() == colours;
}

long CMSAccessDBHandler::SaveCommonDataBlock2(const CString& docType) {
    if (m_pCommonLibraryInfo == nullptr) {
        return -1;
    }
    // The block holds just this document type's entry (it is emptied before each part); when it
    // is the one stored last, its object type is known.
    const CDocTypeLibraryInfo* info = m_pCommonLibraryInfo->GetDocTypeLibInfo(docType);
    const std::uint64_t rollbacks = GetRollbackCount();
    if (info != nullptr && m_pCommonLibraryInfo->Entries().GetCount() == 1 && m_pLastStoredBlock &&
        m_pLastStoredBlock->Matches(docType, *info) &&
        (m_pLastStoredBlock->seenAtRollback == rollbacks ||
         TypeRowExists(m_pLastStoredBlock->typeID, docType))) {
        m_pLastStoredBlock->seenAtRollback = rollbacks;
        return m_pLastStoredBlock->typeID;
    }
    const long typeID = FindOrSaveBlock(docType);
    if (typeID >= 0 && info != nullptr && m_pCommonLibraryInfo->Entries().GetCount() == 1) {
        m_pLastStoredBlock = std::make_unique<StoredBlock>(StoredBlock{
            docType, *info->GetLayerDefinition(), *info->GetColorDefinition(), typeID, rollbacks});
    }
    return typeID;
}

// Asked of the file itself: a type row made in a transaction that was rolled back is gone,
// however the record sets remember it.
bool CMSAccessDBHandler::TypeRowExists(long typeID, const CString& docType) {
    CString sql;
    sql.Format("SELECT Count(*) FROM tObjectTypes WHERE lObjectTypeID=%ld AND strDocumentType=",
               typeID);
    CDaoRecordset rows(this);
    rows.Open(dbOpenSnapshot, sql + QuoteText(docType));
    return rows.GetFieldValue(0).AsInt64() > 0;
}

long CMSAccessDBHandler::FindOrSaveBlock(const CString& docType) {
    CBlob* blob = m_pCommonLibraryInfo->EncodeBlob();
    if (blob == nullptr) {
        return -1;
    }
    const long found = m_pRSObjectTypes->FindDocType(docType, blob);
    if (found >= 0) {
        delete blob;
        return found;
    }
    CString description;
    BYTE visibility = 0;
    if (!m_pRSObjectTypes->GetDocTypeOtherData(docType, description, visibility)) {
        description = docType;
        visibility = 0;
    }
    return m_pRSObjectTypes->SaveDocType(docType, description, visibility, blob);
}

bool CMSAccessDBHandler::SaveCommonDataBlock(long objectTypeID) {
    const CString docType = m_pRSObjectTypes->GetDocType(objectTypeID);
    if (!m_pCommonLibraryInfo->AssertDocTypeLibInfo(docType)) {
        return false;
    }
    CBlob* blob = m_pCommonLibraryInfo->EncodeBlob();
    return blob != nullptr && m_pRSObjectTypes->Save(objectTypeID, blob);
}

void CMSAccessDBHandler::MarkDesignator(CDrawObject& object) {
    if (CDrawAttribute* designator = object.GetAttributeWithTag(KV_REFDES)) {
        CString value = designator->GetValue();
        MakeQuestionMarkString(value);
        designator->SetValue(value);
    }
}

// The first of "Unnamed part", "Unnamed part(2)", ... that no part of the database carries.
// Looked up in the whole table: a filter left on the part set must not hide a taken name.
CString CMSAccessDBHandler::FreeUnnamedName() {
    CString candidate = ModuleString(IDS_UNNAMED_PART);
    for (int n = 2; m_pRSObjects->NameExists(candidate); ++n) {
        candidate = ModuleString(IDS_UNNAMED_PART_NUMBERED);
        candidate.Replace("%d", std::to_string(n).c_str());
    }
    return candidate;
}

bool CMSAccessDBHandler::Encode(CDrwSubSheet* sheet, CDrawObject& object, const CString& docType,
                                const CColorDefinition*& colours, const CLayerDefinition*& layers,
                                PreparedPart& part) {
    m_pLibraryObject->EmptyObjectList();
    m_pLibraryObject->AddObjectToList(&object);
    ClearupCommonDataBlock();
    if (!m_pCommonLibraryInfo->AssertDocTypeLibInfo(docType, colours, layers)) {
        return false;
    }
    part.typeID = SaveCommonDataBlock2(docType);
    if (part.typeID < 0) {
        return false;
    }
    const CDocTypeLibraryInfo* info = m_pCommonLibraryInfo->GetDocTypeLibInfo(docType);
    m_pLibraryObject->SetSourceColorLayerDef(info->GetColorDefinition(),
                                             info->GetLayerDefinition());
    part.blob = m_pLibraryObject->EncodeBlob(sheet, m_pCommonLibraryInfo->GetClassList(),
                                             m_pCommonLibraryInfo->GetStringPool(),
                                             layers ? layers : info->GetLayerDefinition(),
                                             colours ? colours : info->GetColorDefinition(), false);
    m_pLibraryObject->EmptyObjectList();
    return part.blob != nullptr;
}

// The object's name; an unnamed object is first given the first free "Unnamed part" name.
CString CMSAccessDBHandler::NameForStoring(CDrawObject& object) {
    if (const CString* name = object.GetName()) {
        return *name;
    }
    const CString name = FreeUnnamedName();
    object.SetName(name);
    return name;
}

void CMSAccessDBHandler::ReportSaveFailure(const CString& name) const {
    AfxMessageBox(ModuleString(IDS_FAILED_TO_SAVE_COMPONENT) + name, MB_OK);
}

bool CMSAccessDBHandler::SaveObject(CDrwSubSheet* sheet, CDrwGroup* group, long treeID,
                                    const CString& docType, const CColorDefinition* colours,
                                    const CLayerDefinition* layers) {
    if (m_pRSObjects == nullptr || m_pRSObjectTypes == nullptr || docType.IsEmpty() ||
        group == nullptr) {
        return false;
    }
    std::optional<CDrwSubSheet> scratch;
    if (sheet == nullptr) {
        sheet = &scratch.emplace();
    }
    MarkDesignator(*group);
    const CString name = NameForStoring(*group);
    bool stored = false;
    try {
        DaoTransaction transaction(*this);
        PreparedPart part;
        if (!Encode(sheet, *group, docType, colours, layers, part)) {
            return false;
        }
        const long existing = GetObjectID(name, docType);
        if (existing > 0) {
            if (m_pRSObjects->HasRights(existing, m_eDatabaseType)) {
                stored = m_pRSObjects->ReplaceObject(existing, part.blob, part.typeID);
            } else {
                delete part.blob;
            }
        } else {
            stored = m_pRSObjects->SaveObject(name, part.typeID, part.blob, treeID);
        }
        if (stored) {
            transaction.Commit();
        }
    } catch (const CDaoException& error) {
        AfxMessageBox(error.GetErrorMessage(), MB_OK);
        stored = false;
    }
    if (!stored) {
        ReportSaveFailure(name);
    }
    return stored;
}

// The category an object asks for through its "LIBRARYTREEID" (or "LibraryTreeID") attribute,
// when the host allows it and the category exists; the attribute is removed in every case.
long CMSAccessDBHandler::WantedCategory(CDrawObject& object) {
    CDrawAttribute* attribute = object.GetAttributeWithTag("LIBRARYTREEID");
    if (attribute == nullptr) {
        attribute = object.GetAttributeWithTag("LibraryTreeID");
    }
    if (attribute == nullptr) {
        return -1;
    }
    const long wanted = std::strtol(attribute->GetValue(), nullptr, 10);
    object.RemoveAttribute(attribute);
    const CSet* settings = GetSettings();
    const bool allowed =
        settings != nullptr && settings->GetTreeAttributesEnabled() && settings->MayEditMaster();
    return allowed && m_pRSObjectTree->FindTreeID(wanted) ? wanted : -1;
}

bool CMSAccessDBHandler::StoreOne(CDrwSubSheet* sheet, CDrawObject& object, long treeID,
                                  const CColorDefinition*& colours, const CLayerDefinition*& layers,
                                  CString& lastDocType, bool& unknownShown) {
    MarkDesignator(object);
    const CString name = NameForStoring(object);
    const CKV_DocInterface* previous =
        lastDocType.IsEmpty() ? nullptr : GetDocForLibraryType(lastDocType);
    const CString docType = previous ? previous->GetDocTypeName() : GetLibDocTypeForObject(&object);
    lastDocType = docType;
    if (docType.IsEmpty()) {
        // An object of no known type: nothing to store it as.
        if (!unknownShown) {
            AfxMessageBox(ModuleString(IDS_UNKNOWN_PARTS), MB_OK);
            unknownShown = true;
        }
        return false;
    }
    DaoTransaction part(*this);
    PreparedPart prepared;
    if (!Encode(sheet, object, docType, colours, layers, prepared)) {
        return true;  // skipped without changing the result
    }
    const long wanted = WantedCategory(object);
    const bool stored = m_pRSObjects->SaveObject(name, prepared.typeID, prepared.blob,
                                                 wanted > 0 ? wanted : treeID);
    if (stored) {
        part.Commit();
    }
    return stored;
}

bool CMSAccessDBHandler::SaveObjects(CDrwSubSheet* sheet, CDrwObList* list, long treeID,
                                     const CColorDefinition* colours,
                                     const CLayerDefinition* layers) {
    if (m_pRSObjects == nullptr || m_pRSObjectTypes == nullptr || list == nullptr ||
        list->GetCount() == 0) {
        return false;
    }
    std::optional<CDrwSubSheet> scratch;
    if (sheet == nullptr) {
        sheet = &scratch.emplace();
    }
    CKVStatusBar* status = GetSettings() ? GetSettings()->GetStatusBar() : nullptr;
    if (status) {
        status->StartProgress(0, list->GetCount());
        status->SetCurrentPos(0);
    }
    DefinitionCopies copies;
    bool result = true;
    bool unknownShown = false;
    CString lastDocType;
    std::optional<DaoTransaction> batch;
    for (int i = 0; i < list->GetCount(); ++i) {
        CDrawObject* object = list->GetAt(i);
        try {
            if (!batch) {
                batch.emplace(*this);
            }
            if (object != nullptr) {
                result =
                    StoreOne(sheet, *object, treeID, colours, layers, lastDocType, unknownShown) &&
                    result;
                // The first block's definitions stay in force for the following objects; keep
                // copies, since the block itself is emptied for each part.
                if (colours == nullptr || layers == nullptr) {
                    if (const CDocTypeLibraryInfo* info =
                            m_pCommonLibraryInfo->GetDocTypeLibInfo(lastDocType)) {
                        copies.colours.Init(*info->GetColorDefinition());
                        copies.layers.Init(*info->GetLayerDefinition());
                        colours = colours ? colours : &copies.colours;
                        layers = layers ? layers : &copies.layers;
                    }
                }
            }
            if ((i + 1) % kPartsPerCommit == 0 || i + 1 == list->GetCount()) {
                batch->Commit();
                batch.reset();
            }
        } catch (const CDaoException& error) {
            // The parts of this batch are lost with it; the ones committed before stay.
            batch.reset();
            result = false;
            AfxMessageBox(error.GetErrorMessage(), MB_OK);
        }
        if (status) {
            status->SetCurrentPos(i + 1);
        }
    }
    m_pLibraryObject->EmptyObjectList();
    m_pLibraryObject->DestroyObjectList();
    if (status) {
        status->EndProgress();
    }
    return result;
}

bool CMSAccessDBHandler::ReplaceObject(CDrwSubSheet* sheet, long objectID, CDrwGroup* group,
                                       const CColorDefinition* colours,
                                       const CLayerDefinition* layers) {
    if (m_pRSObjects == nullptr || group == nullptr || !m_pRSObjects->FindObjectID(objectID)) {
        return false;
    }
    const CString storedName = m_pRSObjects->m_strObjectName;
    const CString docType = m_pRSObjectTypes->GetDocType(m_pRSObjects->m_lObjectTypeID);
    std::optional<CDrwSubSheet> scratch;
    if (sheet == nullptr) {
        sheet = &scratch.emplace();
    }
    MarkDesignator(*group);
    if (group->GetName() == nullptr) {
        group->SetName(storedName);
    }
    try {
        DaoTransaction transaction(*this);
        PreparedPart part;
        if (!Encode(sheet, *group, docType, colours, layers, part) ||
            !m_pRSObjects->ReplaceObject(objectID, part.blob, part.typeID)) {
            return false;
        }
        transaction.Commit();
        return true;
    } catch (const CDaoException& error) {
        AfxMessageBox(error.GetErrorMessage(), MB_OK);
        return false;
    }
}

long CMSAccessDBHandler::LoadObject(CDrwSubSheet* sheet, CDrwGroup*& group, long objectID,
                                    CLayerDefinition* layers, CColorDefinition* colours) {
    std::optional<CDrwSubSheet> scratch;
    if (sheet == nullptr) {
        sheet = &scratch.emplace();
    }
    delete group;
    group = nullptr;
    // One read of the file for the whole load: the lookups share its lock and see one state.
    DaoTransaction reading(*this, DaoTransaction::Mode::kRead);
    CBlob* blob = nullptr;
    const long typeID = m_pRSObjects->LoadObject(objectID, blob);
    const std::unique_ptr<CBlob> owned(blob);
    const CString docType = m_pRSObjectTypes->GetDocType(typeID);
    LoadCommonDataBlock(typeID);
    const CDocTypeLibraryInfo* info = m_pCommonLibraryInfo->AssertDocTypeLibInfo(docType)
                                          ? m_pCommonLibraryInfo->GetDocTypeLibInfo(docType)
                                          : nullptr;
    if (typeID <= 0 || docType.IsEmpty() || blob == nullptr || info == nullptr) {
        return -1;
    }
    m_pLibraryObject->EmptyObjectList();
    if (!m_pLibraryObject->DecodeBlob(
            sheet, m_pCommonLibraryInfo->GetClassList(), m_pCommonLibraryInfo->GetStringPool(),
            info->GetLayerDefinition(), info->GetColorDefinition(), blob, layers, colours)) {
        m_pLibraryObject->DestroyObjectList();
        return -1;
    }
    std::unique_ptr<CDrwObList> decoded(m_pLibraryObject->GetObjectList());
    m_pLibraryObject->SetObjectList(nullptr);
    group = static_cast<CDrwGroup*>(decoded->GetAt(0));
    for (int i = 1; i < decoded->GetCount(); ++i) {
        delete decoded->GetAt(i);
    }
    decoded->RemoveAll();
    return typeID;
}

// Walks the rows of `name` (among `types`) in the part set, decoding each; keeps the last one
// decoded (or the first, with `firstOnly`) in `object` and its category in `treeID`.
bool CMSAccessDBHandler::LoadNamed(CDrwSubSheet* sheet, const CString& name,
                                   const CDWordArray& types, bool firstOnly, CDrawObject*& object,
                                   long& treeID, CLayerDefinition* layers,
                                   CColorDefinition* colours) {
    ShowPartsNamed(name);
    for (; !m_pRSObjects->IsEOF(); m_pRSObjects->MoveNext()) {
        if (!Contains(types, m_pRSObjects->m_lObjectTypeID)) {
            continue;
        }
        const long typeID = m_pRSObjects->m_lObjectTypeID;
        CBlob* blob = nullptr;
        m_pRSObjects->m_pRSBlobs->Load(m_pRSObjects->m_lBlobID, blob);
        const std::unique_ptr<CBlob> owned(blob);
        LoadCommonDataBlock(typeID);
        const CString docType = m_pRSObjectTypes->GetDocType(typeID);
        const CDocTypeLibraryInfo* info = m_pCommonLibraryInfo->AssertDocTypeLibInfo(docType)
                                              ? m_pCommonLibraryInfo->GetDocTypeLibInfo(docType)
                                              : nullptr;
        if (blob == nullptr || info == nullptr) {
            continue;
        }
        m_pLibraryObject->EmptyObjectList();
        if (m_pLibraryObject->DecodeBlob(
                sheet, m_pCommonLibraryInfo->GetClassList(), m_pCommonLibraryInfo->GetStringPool(),
                info->GetLayerDefinition(), info->GetColorDefinition(), blob, layers, colours)) {
            CDrwObList* list = m_pLibraryObject->GetObjectList();
            delete object;
            object = list->GetAt(0);
            for (int i = 1; i < list->GetCount(); ++i) {
                delete list->GetAt(i);
            }
            list->RemoveAll();
            treeID = m_pRSObjects->m_lObjectTreeID;
            if (firstOnly) {
                return true;
            }
        } else {
            m_pLibraryObject->DestroyObjectList();
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
    std::optional<CDrwSubSheet> scratch;
    if (sheet == nullptr) {
        sheet = &scratch.emplace();
    }
    DaoTransaction reading(*this, DaoTransaction::Mode::kRead);
    CDWordArray types;
    m_pRSObjectTypes->GetValidObjectTypeIDList(docType, types, nullptr);
    std::map<CString, std::pair<std::unique_ptr<CDrawObject>, long>>
        done;  // by name, case as given
    bool walked = false;
    for (int i = 0; i < names.GetSize(); ++i) {
        try {
            auto seen = done.find(names[i]);
            if (seen == done.end()) {
                CDrawObject* object = nullptr;
                long treeID = 0;
                LoadNamed(sheet, names[i], types, firstRowOnly, object, treeID, layers, colours);
                seen =
                    done.emplace(names[i], std::pair{std::unique_ptr<CDrawObject>(object), treeID})
                        .first;
            }
            if (seen->second.first) {
                objects[i] = static_cast<CDrawObject*>(seen->second.first->Clone());
                treeIDs[i] = seen->second.second;
            }
            walked = true;
        } catch (const CException&) {
            // This name's entry stays empty; the next name is taken.
        }
    }
    m_pLibraryObject->EmptyObjectList();
    return walked;
}

bool CMSAccessDBHandler::CopyObject(long objectID, long treeID, CMSAccessDBHandler* source) {
    if (m_pRSObjects == nullptr) {
        return false;
    }
    CMSAccessDBHandler* from = source ? source : this;
    CDrwSubSheet scratch;
    CLayerDefinition layers;
    CColorDefinition colours;
    CDrwGroup* loaded = nullptr;
    const long typeID = from->LoadObject(&scratch, loaded, objectID, &layers, &colours);
    const std::unique_ptr<CDrwGroup> group(loaded);
    if (typeID <= 0 || group == nullptr) {
        return false;
    }
    // A rename changes the part's row only; the objects keep the name they were stored under.
    // The load leaves the source's part set on the row, whose name is the part's.
    const CString name = from->m_pRSObjects->m_strObjectName;
    group->SetName(name);
    const CString docType = from->GetDocType(typeID);
    if (m_pRSObjects->NameExists(name)) {
        CString candidate = ModuleString(IDS_COPY_OF) + name;
        for (int n = 2; m_pRSObjects->NameExists(candidate); ++n) {
            candidate = ModuleString(IDS_COPY_NUMBERED_OF);
            candidate.Replace("%d", std::to_string(n).c_str());
            candidate += name;
        }
        group->SetName(candidate);
    }
    m_pSourceColorDef = nullptr;
    m_pSourceLayerDef = nullptr;
    if (!SaveObject(&scratch, group.get(), treeID, docType, &colours, &layers)) {
        return false;
    }
    m_pRSObjects->Requery();
    return true;
}

bool CMSAccessDBHandler::RenameObject(long objectID, const CString& name) {
    if (name.IsEmpty() || m_pRSObjects == nullptr) {
        return false;
    }
    const long typeID = m_pRSObjects->GetObjectTypeID(objectID);
    if (typeID < 0) {
        return false;
    }
    // Checked in the whole table: a filter left on the part set by a lookup must not hide
    // the part that already has the name.
    if (!m_pRSObjects->NameExists(name, typeID)) {
        return m_pRSObjects->RenameObject(objectID, name);
    }
    AfxMessageBox(ModuleString(IDS_NAME_EXISTS), MB_OK);
    return false;
}

long CMSAccessDBHandler::GetObjectID(const CString& name, const CString& docType) {
    if (m_pRSObjects == nullptr || m_pRSObjectTypes == nullptr) {
        return -1;
    }
    if (docType.IsEmpty()) {
        return m_pRSObjects->GetFirstObjectID(name);
    }
    CDWordArray types;
    m_pRSObjectTypes->GetValidObjectTypeIDList(docType, types, nullptr);
    ShowPartsNamed(name);
    for (; !m_pRSObjects->IsEOF(); m_pRSObjects->MoveNext()) {
        if (Contains(types, m_pRSObjects->m_lObjectTypeID)) {
            return m_pRSObjects->m_lObjectID;
        }
    }
    return -1;
}

long CMSAccessDBHandler::GetObjectID(const CString& name, long objectTypeID) {
    return m_pRSObjects ? m_pRSObjects->GetObjectID(name, objectTypeID) : -1;
}

long CMSAccessDBHandler::GetObjectTypeID(long objectID) {
    return m_pRSObjects ? m_pRSObjects->GetObjectTypeID(objectID) : -1;
}

long CMSAccessDBHandler::GetFirstObjectTypeID(const CString& docType) {
    if (m_pRSObjectTypes == nullptr ||
        !m_pRSObjectTypes->CheckObjectTypeExist(docType, false, "", ZB_VISIBILITY_NORMAL)) {
        return -1;
    }
    return m_pRSObjectTypes->m_lObjectTypeID;
}

CString CMSAccessDBHandler::GetDocType(long objectTypeID) {
    return m_pRSObjectTypes ? m_pRSObjectTypes->GetDocType(objectTypeID) : CString();
}

CString CMSAccessDBHandler::GetDocTypeDescrption(long objectTypeID) {
    CString description;
    if (m_pRSObjectTypes) {
        m_pRSObjectTypes->GetDocTypeDescrption(objectTypeID, description);
    }
    return description;
}

CString CMSAccessDBHandler::GetDocTypeDescrption(const CString& docType) {
    CString description = docType;
    if (m_pRSObjectTypes) {
        m_pRSObjectTypes->GetDocTypeDescrption(docType, description);
    }
    return description;
}
