#include "access/ObjectTypeFinder.h"

#include <memory>

#include "host/CBlob.h"
#include "platform/dao/CDaoDatabase.h"
#include "platform/dao/CDaoRecordset.h"
#include "platform/dao/DaoQuote.h"
#include "serial/CCommonLibraryInfo.h"
#include "serial/CDocTypeLibraryInfo.h"
#include "tables/CRSObjectTypes.h"

using vaultry::dao::QuoteText;

bool ObjectTypeFinder::Remembered::Matches(const CString& type,
                                           const CDocTypeLibraryInfo& info) const {
    return type == docType && *info.GetLayerDefinition() == layers &&
           *info.GetColorDefinition() == colours;
}

long ObjectTypeFinder::TypeFor(CDaoDatabase& database, CRSObjectTypes& types,
                               CCommonLibraryInfo& block, const CString& docType) {
    // The block holds just this document type's entry (it is emptied before each part); when it
    // is the one matched last, its object type is known.
    const CDocTypeLibraryInfo* info = block.GetDocTypeLibInfo(docType);
    const bool single = info != nullptr && block.Entries().GetCount() == 1;
    const std::uint64_t rollbacks = database.GetRollbackCount();
    if (single && m_last && m_last->Matches(docType, *info) &&
        (m_last->seenAtRollback == rollbacks || TypeRowExists(database, m_last->typeID, docType))) {
        m_last->seenAtRollback = rollbacks;
        return m_last->typeID;
    }
    const long typeID = FindOrAdd(types, block, docType);
    if (typeID >= 0 && single) {
        m_last = Remembered{docType, *info->GetLayerDefinition(), *info->GetColorDefinition(),
                            typeID, rollbacks};
    }
    return typeID;
}

long ObjectTypeFinder::FindOrAdd(CRSObjectTypes& types, CCommonLibraryInfo& block,
                                 const CString& docType) {
    std::unique_ptr<CBlob> blob(block.EncodeBlob());
    if (blob == nullptr) {
        return -1;
    }
    // The type set compares blocks only once it has been opened; unopened, it would answer that
    // no type matches and every first store after opening would add a type row of its own.
    if (!types.IsOpen()) {
        types.Open();
    }
    const long found = types.FindDocType(docType, blob.get());
    if (found >= 0) {
        return found;
    }
    CString description;
    BYTE visibility = 0;
    if (!types.GetDocTypeOtherData(docType, description, visibility)) {
        description = docType;
        visibility = 0;
    }
    return types.SaveDocType(docType, description, visibility, blob.release());
}

// Asked of the file itself: a type row made in a transaction that was rolled back is gone,
// however the record sets remember it.
bool ObjectTypeFinder::TypeRowExists(CDaoDatabase& database, long typeID, const CString& docType) {
    CString sql;
    sql.Format("SELECT Count(*) FROM tObjectTypes WHERE lObjectTypeID=%ld AND strDocumentType=",
               typeID);
    CDaoRecordset rows(&database);
    rows.Open(dbOpenSnapshot, sql + QuoteText(docType));
    return rows.GetFieldValue(0).AsInt64() > 0;
}
