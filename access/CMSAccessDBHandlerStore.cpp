// The handler's storing of parts: one part, many parts, or new content for a stored one, each
// prepared the same way (designator, name, data block, object type, blob).

#include <cstdlib>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "access/BatchedTransaction.h"
#include "access/CMSAccessDBHandler.h"
#include "access/NameRule.h"
#include "access/PartCodec.h"
#include "access/PartListing.h"
#include "access/ProgressDisplay.h"
#include "host/BuiltInPlugIns.h"
#include "host/CBlob.h"
#include "host/CDrwGroup.h"
#include "host/CDrwObList.h"
#include "host/CLibraryObject.h"
#include "host/CSet.h"
#include "host/SheetOrScratch.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/UnicodeCase.h"
#include "platform/dao/DaoTransaction.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"
#include "serial/CCommonLibraryInfo.h"
#include "serial/CDocTypeLibraryInfo.h"
#include "tables/CRSObjectTree.h"
#include "tables/CRSObjectTypes.h"
#include "tables/CRSObjects.h"

using vaultry::dao::DaoTransaction;

namespace {

// Parts of one SaveObjects call are committed together in batches of this many.
constexpr int kPartsPerCommit = 64;

// The names of `count` objects of `list` from `first` on that no part carries. An object
// without a name is named as it is stored, after the parts before it.
std::unordered_set<std::string> FreeNamesOf(CMSAccessDBHandler& library, CDrwObList& list,
                                            int first, int count) {
    std::vector<CString> names;
    for (int i = first; i < first + count && i < list.GetCount(); ++i) {
        if (const CDrawObject* object = list.GetAt(i); object && object->GetName()) {
            names.push_back(*object->GetName());
        }
    }
    return FreeNames(library, names);
}

CRSObjects::NameTest NameTestFor(CMSAccessDBHandler::NameCheck names) {
    return names == CMSAccessDBHandler::NameCheck::kFoundFree ? CRSObjects::NameTest::kAskedByCaller
                                                              : CRSObjects::NameTest::kAsk;
}

}  // namespace

// What storing one object needs once it is prepared.
struct CMSAccessDBHandler::PreparedPart {
    long typeID = -1;
    std::unique_ptr<CBlob> blob;
};

PartCodec CMSAccessDBHandler::Codec() const {
    return PartCodec(*m_pLibraryObject, *m_pCommonLibraryInfo);
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

// The object's name; an unnamed object is first given the first free "Unnamed part" name.
CString CMSAccessDBHandler::NameForStoring(CDrawObject& object) {
    if (const CString* name = object.GetName()) {
        return *name;
    }
    const CString name = FreeUnnamedName();
    object.SetName(name);
    return name;
}

// The data block made from the design's definitions for `docType`, the object type that holds
// it, and the object encoded against it.
bool CMSAccessDBHandler::Prepare(CDrwSubSheet& sheet, CDrawObject& object, const CString& docType,
                                 const CColorDefinition* colours, const CLayerDefinition* layers,
                                 PreparedPart& part) {
    if (docType.IsEmpty()) {
        return false;  // a type row that cannot be read: nothing to encode the object for
    }
    if (colours != nullptr && layers != nullptr) {
        m_lCommonBlockTypeID = -1;
        m_pCommonLibraryInfo->ResetTo(docType, *colours, *layers);
    } else {
        ClearupCommonDataBlock();
    }
    if (!m_pCommonLibraryInfo->AssertDocTypeLibInfo(docType, colours, layers)) {
        return false;
    }
    part.typeID = SaveCommonDataBlock2(docType);
    if (part.typeID < 0) {
        return false;
    }
    part.blob = Codec().Encode(sheet, object, *m_pCommonLibraryInfo->GetDocTypeLibInfo(docType),
                               layers, colours);
    return part.blob != nullptr;
}

void CMSAccessDBHandler::ReportSaveFailure(const CString& name) const {
    AfxMessageBox(ModuleString(IDS_FAILED_TO_SAVE_COMPONENT) + name, MB_OK);
}

bool CMSAccessDBHandler::SaveObject(CDrwSubSheet* sheet, CDrwGroup* group, long treeID,
                                    const CString& docType, const CColorDefinition* colours,
                                    const CLayerDefinition* layers) {
    return SaveAs(sheet, group, treeID, docType, colours, layers, NameCheck::kAsk);
}

bool CMSAccessDBHandler::SaveAs(CDrwSubSheet* sheet, CDrwGroup* group, long treeID,
                                const CString& docType, const CColorDefinition* colours,
                                const CLayerDefinition* layers, NameCheck names) {
    if (m_pRSObjects == nullptr || m_pRSObjectTypes == nullptr || docType.IsEmpty() ||
        group == nullptr) {
        return false;
    }
    const SheetOrScratch on(sheet);
    MarkDesignator(*group);
    const CString name = NameForStoring(*group);
    if (const CString why = WhyNotAName(name); !why.IsEmpty()) {
        AfxMessageBox(ModuleString(IDS_FAILED_TO_SAVE_COMPONENT) + name + "\n" + why, MB_OK);
        return false;
    }
    DaoTransaction transaction(*this);
    PreparedPart part;
    if (!Prepare(*on.get(), *group, docType, colours, layers, part)) {
        return false;
    }
    const long existing = names == NameCheck::kAsk ? GetObjectID(name, docType) : -1;
    long storedID = -1;
    if (existing <= 0) {
        if (m_pRSObjects->SaveObject(name, part.typeID, part.blob.release(), treeID,
                                     NameTestFor(names))) {
            storedID = m_pRSObjects->m_lObjectID;
        }
    } else if (m_pRSObjects->HasRights(existing, m_eDatabaseType) &&
               m_pRSObjects->ReplaceObject(existing, part.blob.release(), part.typeID)) {
        storedID = existing;
    }
    if (storedID <= 0) {
        ReportSaveFailure(name);
        return false;
    }
    m_geometry.Record(storedID, *group);
    transaction.Commit();
    return true;
}

// The category an object asks for through its "LIBRARYTREEID" (or "LibraryTreeID") attribute,
// when the host allows it and the category exists; -1 otherwise. The attribute is removed in
// every case.
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
        settings != nullptr && settings->GetTreeAttributesEnabled() && MasterEditPermitted();
    return allowed && m_pRSObjectTree->FindTreeID(wanted) ? wanted : -1;
}

// One object of a SaveObjects run, whole or not at all. False when it was not stored; an
// object whose data block or blob cannot be made is passed over without failing the run.
bool CMSAccessDBHandler::StoreOne(CDrwSubSheet& sheet, CDrawObject& object, long treeID,
                                  const CColorDefinition* colours, const CLayerDefinition* layers,
                                  CString& lastDocType, bool& unknownShown, NameCheck names) {
    MarkDesignator(object);
    const CString name = NameForStoring(object);
    if (!WhyNotAName(name).IsEmpty()) {
        return false;  // as a taken name: the caller tests names first where it can say why
    }
    const long wanted = WantedCategory(object);
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
    DaoTransaction transaction(*this);
    PreparedPart part;
    if (!Prepare(sheet, object, docType, colours, layers, part)) {
        return true;
    }
    if (!m_pRSObjects->SaveObject(name, part.typeID, part.blob.release(),
                                  wanted > 0 ? wanted : treeID, NameTestFor(names))) {
        return false;
    }
    m_geometry.Record(m_pRSObjects->m_lObjectID, object);
    transaction.Commit();
    return true;
}

bool CMSAccessDBHandler::SaveObjects(CDrwSubSheet* sheet, CDrwObList* list, long treeID,
                                     const CColorDefinition* colours,
                                     const CLayerDefinition* layers) {
    int stored = 0;
    return SaveObjects(sheet, list, treeID, colours, layers, stored);
}

bool CMSAccessDBHandler::SaveObjects(CDrwSubSheet* sheet, CDrwObList* list, long treeID,
                                     const CColorDefinition* colours,
                                     const CLayerDefinition* layers, int& stored, NameCheck names) {
    stored = 0;
    if (m_pRSObjects == nullptr || m_pRSObjectTypes == nullptr || list == nullptr ||
        list->GetCount() == 0) {
        return false;
    }
    for (int i = 0; i < list->GetCount(); ++i) {
        if (list->GetAt(i) != nullptr && list->GetAt(i)->GetName() == nullptr) {
            names = NameCheck::kAsk;
        }
    }
    const SheetOrScratch on(sheet);
    ProgressDisplay progress(list->GetCount());
    // Where the caller gave no definitions, the first block's stay in force for the objects
    // after it: copies, since the block itself is emptied for each part.
    CDocTypeLibraryInfo firstDefinitions;
    bool result = true;
    bool unknownShown = false;
    CString lastDocType;
    int storedInBatch = 0;
    BatchedTransaction batches(*this, kPartsPerCommit);
    std::unordered_set<std::string> freeNames;  // of the batch, each taken out once stored
    for (int i = 0; i < list->GetCount(); ++i) {
        batches.BeginUnit();
        if (names == NameCheck::kAsk && i % kPartsPerCommit == 0) {
            freeNames = FreeNamesOf(*this, *list, i, kPartsPerCommit);
        }
        if (CDrawObject* object = list->GetAt(i)) {
            const bool free = names == NameCheck::kAsk && object->GetName() &&
                              freeNames.count(vaultry::text::FoldedKey(object->GetName()->str()));
            const bool done = StoreOne(*on.get(), *object, treeID, colours, layers, lastDocType,
                                       unknownShown, free ? NameCheck::kFoundFree : names);
            // Its name, given or made as it was stored, is asked about again by a later object.
            if (object->GetName()) {
                freeNames.erase(vaultry::text::FoldedKey(object->GetName()->str()));
            }
            if (done) {
                ++storedInBatch;
            } else {
                result = false;
            }
            const CDocTypeLibraryInfo* info = m_pCommonLibraryInfo->GetDocTypeLibInfo(lastDocType);
            if ((colours == nullptr || layers == nullptr) && info != nullptr) {
                firstDefinitions = *info;
                colours = colours ? colours : firstDefinitions.GetColorDefinition();
                layers = layers ? layers : firstDefinitions.GetLayerDefinition();
            }
        }
        if (batches.EndUnit()) {
            stored += storedInBatch;
            storedInBatch = 0;
        }
        progress.Reached(i + 1);
    }
    batches.Commit();
    stored += storedInBatch;
    m_pLibraryObject->EmptyObjectList();
    m_pLibraryObject->DestroyObjectList();
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
    const SheetOrScratch on(sheet);
    MarkDesignator(*group);
    if (group->GetName() == nullptr) {
        group->SetName(storedName);
    }
    DaoTransaction transaction(*this);
    PreparedPart part;
    if (!Prepare(*on.get(), *group, docType, colours, layers, part) ||
        !m_pRSObjects->ReplaceObject(objectID, part.blob.release(), part.typeID)) {
        return false;
    }
    m_geometry.Record(objectID, *group);
    transaction.Commit();
    return true;
}
