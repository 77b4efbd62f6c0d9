// The handler's operations on stored parts as they stand: copying, renaming, and looking parts
// and their types up.

#include <memory>

#include "access/CMSAccessDBHandler.h"
#include "host/CBlob.h"
#include "host/CColorDefinition.h"
#include "host/CDrwGroup.h"
#include "host/CDrwSubSheet.h"
#include "host/CLayerDefinition.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/CDWordArray.h"
#include "platform/afx/UnicodeCase.h"
#include "platform/dao/DaoQuote.h"
#include "platform/dao/DaoTransaction.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"
#include "tables/CRSObjectTypes.h"
#include "tables/CRSObjects.h"

using vaultry::dao::DaoTransaction;
using vaultry::dao::QuoteText;

// The part set filtered to `name`; the filter stays set, as callers expect.
void CMSAccessDBHandler::ShowPartsNamed(const CString& name) {
    m_pRSObjects->m_strFilter = "strObjectName=" + QuoteText(name);
    if (m_pRSObjects->IsOpen()) {
        m_pRSObjects->Requery();
    } else {
        m_pRSObjects->Open();
    }
}

bool CMSAccessDBHandler::CopyObject(long objectID, long treeID, CMSAccessDBHandler* source) {
    if (m_pRSObjects == nullptr) {
        return false;
    }
    DaoTransaction transaction(*this);
    if (!CopyPart(objectID, treeID, source ? *source : *this)) {
        return false;
    }
    // The part set shows the copy before the copy is committed: a set that cannot be read
    // again fails the whole copy instead of reporting a copy that was made as failed.
    m_pRSObjects->Requery();
    transaction.Commit();
    return true;
}

// A part read for copying: its objects, decoded with the definitions they were stored with.
struct CMSAccessDBHandler::CopiedPart {
    CDrwSubSheet sheet;
    CLayerDefinition layers;
    CColorDefinition colours;
    std::unique_ptr<CDrwGroup> group;
    long typeID = -1;
    CString name;  // the part's row's: a rename changes the row only, not its objects
};

bool CMSAccessDBHandler::CopyPart(long objectID, long treeID, CMSAccessDBHandler& from) {
    CopiedPart part;
    CDrwGroup* loaded = nullptr;
    part.typeID = from.LoadObject(&part.sheet, loaded, objectID, &part.layers, &part.colours);
    part.group.reset(loaded);
    if (part.typeID <= 0 || part.group == nullptr) {
        return false;
    }
    part.name = from.m_pRSObjects->m_strObjectName;  // the load leaves the set on the part's row
    return StoreCopy(part, treeID, from);
}

std::vector<CMSAccessDBHandler::CopiedRow> CMSAccessDBHandler::ReadRows(CRSObjects& parts,
                                                                        std::size_t count) {
    std::vector<CopiedRow> rows;
    for (; rows.size() < count && !parts.IsEOF(); parts.MoveNext()) {
        CBlob* blob = nullptr;
        parts.LoadBlob(blob);
        rows.push_back(
            {parts.m_strObjectName, parts.m_lObjectTypeID, std::unique_ptr<CBlob>(blob)});
    }
    return rows;
}

bool CMSAccessDBHandler::CopyRow(CopiedRow& row, long treeID, CMSAccessDBHandler& from,
                                 std::unordered_set<std::string>& freeNames) {
    CopiedPart part;
    part.typeID = row.typeID;
    std::unique_ptr<CDrawObject> decoded =
        from.DecodePart(part.sheet, part.typeID, row.blob.get(), &part.layers, &part.colours);
    if (decoded == nullptr) {
        return false;
    }
    part.group.reset(static_cast<CDrwGroup*>(decoded.release()));  // a part is headed by a group
    part.name = row.name;
    return StoreCopy(part, treeID, from, &freeNames);
}

// Stores the part under its name, or the first free "Copy of" name, in the caller's write
// transaction: a name another program takes meanwhile would otherwise have the store replace
// that program's part.
bool CMSAccessDBHandler::StoreCopy(CopiedPart& part, long treeID, CMSAccessDBHandler& from,
                                   std::unordered_set<std::string>* freeNames) {
    CString stored = part.name;
    const bool knownFree =
        freeNames != nullptr && freeNames->count(vaultry::text::FoldedKey(stored.str())) > 0;
    if (!knownFree && m_pRSObjects->NameExists(stored)) {
        stored = ModuleString(IDS_COPY_OF) + part.name;
        for (int n = 2; m_pRSObjects->NameExists(stored); ++n) {
            stored = ModuleString(IDS_COPY_NUMBERED_OF);
            stored.Replace("%d", std::to_string(n).c_str());
            stored += part.name;
        }
    }
    part.group->SetName(stored);
    if (freeNames != nullptr) {
        freeNames->erase(vaultry::text::FoldedKey(stored.str()));
    }
    m_pSourceColorDef = nullptr;
    m_pSourceLayerDef = nullptr;
    return SaveAs(&part.sheet, part.group.get(), treeID, from.GetDocType(part.typeID),
                  &part.colours, &part.layers, NameCheck::kFoundFree);
}

// Parts stored from designs with other definitions have object types of their own, and their
// names still clash.
bool CMSAccessDBHandler::NameTakenInDocType(const CString& name, long typeID, long exceptID) {
    CDWordArray types;
    const CString docType = m_pRSObjectTypes->GetDocType(typeID);
    if (docType.IsEmpty() || !m_pRSObjectTypes->GetValidObjectTypeIDList(docType, types, nullptr)) {
        types.RemoveAll();
        types.Add(static_cast<DWORD>(typeID));
    }
    return m_pRSObjects->NameExists(name, &types, exceptID);
}

bool CMSAccessDBHandler::RenameObject(long objectID, const CString& name) {
    if (name.IsEmpty() || m_pRSObjects == nullptr || m_pRSObjectTypes == nullptr) {
        return false;
    }
    const long typeID = m_pRSObjects->GetObjectTypeID(objectID);
    if (typeID < 0) {
        return false;
    }
    if (NameTakenInDocType(name, typeID, objectID)) {
        AfxMessageBox(ModuleString(IDS_NAME_EXISTS), MB_OK);
        return false;
    }
    return m_pRSObjects->RenameObject(objectID, name);
}

long CMSAccessDBHandler::GetObjectID(const CString& name, const CString& docType) {
    if (m_pRSObjects == nullptr || m_pRSObjectTypes == nullptr) {
        return -1;
    }
    if (docType.IsEmpty()) {
        return m_pRSObjects->GetFirstObjectID(name);
    }
    ShowPartsNamed(name);
    for (; !m_pRSObjects->IsEOF(); m_pRSObjects->MoveNext()) {
        if (m_pRSObjectTypes->IsOfDocTypes(m_pRSObjects->m_lObjectTypeID, docType)) {
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
