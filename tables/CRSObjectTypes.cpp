#include "tables/CRSObjectTypes.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "host/CBlob.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/CDaoFieldExchange.h"
#include "platform/dao/DaoQuote.h"
#include "platform/dao/DaoTransaction.h"
#include "tables/CRSBlobs.h"
#include "tables/FindReadingAgain.h"

using vaultry::dao::DaoTransaction;
using vaultry::dao::QuoteText;
using vaultry::tables::FindReadingAgain;

namespace {

// The names of a request: "A|B|" gives A and B; without a bar the request is one name.
std::vector<CString> RequestedTypes(const CString& request) {
    if (request.Find('|') < 0) {
        return {request};
    }
    std::vector<CString> names;
    int start = 0;
    for (CString name = request.Tokenize("|", start); start >= 0;
         name = request.Tokenize("|", start)) {
        names.push_back(name);
    }
    return names;
}

}  // namespace

CRSObjectTypes::CRSObjectTypes(CDaoDatabase* pDatabase) : CDaoRecordset(pDatabase) {
    m_nFields = 5;
    m_nDefaultType = dbOpenDynaset;
}

CRSObjectTypes::~CRSObjectTypes() {
    Close();
}

void CRSObjectTypes::Open(int openType, const char* sql, int options) {
    CDaoRecordset::Open(openType, sql, options);
    delete m_pRSBlobs;
    m_pRSBlobs = new CRSBlobs(m_pDatabase);
}

void CRSObjectTypes::Close() {
    if (m_pRSBlobs != nullptr) {
        m_pRSBlobs->Close();
        delete m_pRSBlobs;
        m_pRSBlobs = nullptr;
    }
    if (IsOpen()) {
        CDaoRecordset::Close();
    }
}

CString CRSObjectTypes::GetDefaultSQL() {
    return "SELECT tObjectTypes.* FROM tObjectTypes";
}

void CRSObjectTypes::DoFieldExchange(CDaoFieldExchange* pFX) {
    DFX_Long(pFX, "[lObjectTypeID]", m_lObjectTypeID);
    DFX_Text(pFX, "[strDescription]", m_strDescription);
    DFX_Text(pFX, "[strDocumentType]", m_strDocumentType);
    DFX_Long(pFX, "[lBlobID]", m_lBlobID);
    DFX_Byte(pFX, "[byVisibility]", m_byVisibility);
}

void CRSObjectTypes::OpenIfClosed() {
    if (!IsOpen()) {
        Open();
    }
}

// The members describe a live row (not a gap, not a position past either end).
bool CRSObjectTypes::OnRow() const {
    return IsOpen() && !IsBOF() && !IsEOF() && !IsDeleted();
}

// Current-row shortcut first, then a search.
bool CRSObjectTypes::FindTypeID(long lObjectTypeID) {
    OpenIfClosed();
    if (OnRow() && m_lObjectTypeID == lObjectTypeID) {
        return true;
    }
    CString filter;
    filter.Format("lObjectTypeID=%li", lObjectTypeID);
    return FindReadingAgain(*this, filter);  // also a type added since
}

bool CRSObjectTypes::FindDocumentType(const CString& strDocType) {
    OpenIfClosed();
    if (OnRow() && m_strDocumentType.CompareNoCase(strDocType) == 0) {
        return true;
    }
    return FindReadingAgain(*this, "strDocumentType=" + QuoteText(strDocType));
}

bool CRSObjectTypes::Load(long lObjectTypeID, CBlob*& pBlob) {
    try {
        return FindTypeID(lObjectTypeID) && m_pRSBlobs->Load(m_lBlobID, pBlob);
    } catch (const CDaoException&) {
        return false;
    }
}

bool CRSObjectTypes::Save(long lObjectTypeID, CBlob* pBlob) {
    std::unique_ptr<CBlob> blob(pBlob);
    try {
        return FindTypeID(lObjectTypeID) && m_pRSBlobs->Save(blob.release(), m_lBlobID);
    } catch (const CDaoException&) {
        return false;
    }
}

CString CRSObjectTypes::GetDocType(long lObjectTypeID) {
    try {
        return FindTypeID(lObjectTypeID) ? m_strDocumentType : CString();
    } catch (const CDaoException&) {
        return "";
    }
}

bool CRSObjectTypes::IsOfDocTypes(long lObjectTypeID, const CString& strDocTypes) {
    const CString docType = GetDocType(lObjectTypeID);
    if (docType.IsEmpty()) {
        return false;
    }
    const std::vector<CString> wanted = RequestedTypes(strDocTypes);
    return std::any_of(wanted.begin(), wanted.end(),
                       [&](const CString& name) { return docType.CompareNoCase(name) == 0; });
}

bool CRSObjectTypes::GetDocTypeDescrption(long lObjectTypeID, CString& strDescription) {
    strDescription.Empty();
    try {
        if (FindTypeID(lObjectTypeID)) {
            strDescription = m_strDescription;
            return true;
        }
    } catch (const CDaoException&) {
    }
    return false;
}

bool CRSObjectTypes::GetDocTypeDescrption(const CString& strDocType, CString& strDescription) {
    strDescription = strDocType;
    try {
        if (FindDocumentType(strDocType)) {
            strDescription = m_strDescription;
            return true;
        }
    } catch (const CDaoException&) {
    }
    return false;
}

bool CRSObjectTypes::GetDocTypeOtherData(const CString& strDocType, CString& strDescription,
                                         BYTE& byVisibility) {
    try {
        OpenIfClosed();
        if (FindFirst("strDocumentType=" + QuoteText(strDocType))) {
            strDescription = m_strDescription;
            byVisibility = m_byVisibility;
            return true;
        }
    } catch (const CDaoException&) {
    }
    return false;
}

bool CRSObjectTypes::CheckObjectTypeExist(const CString& strDocType, bool bCreate,
                                          const CString& strDescription,
                                          ZB_OBJECTVISIBILITY eVisibility) {
    try {
        if (FindDocumentType(strDocType)) {
            return true;
        }
        if (!bCreate) {
            return false;
        }
        DaoTransaction transaction(*m_pDatabase);
        AddNew();
        m_strDocumentType = strDocType;
        m_strDescription = strDescription;
        m_lBlobID = m_pRSBlobs->CreateNew();
        m_byVisibility = eVisibility;
        Update();
        transaction.Commit();
        return FindFirst("strDocumentType=" + QuoteText(strDocType)) != FALSE;
    } catch (const CDaoException&) {
        if (IsOpen() && GetEditMode() != dbEditNone) {
            CancelUpdate();
        }
        return false;
    }
}

bool CRSObjectTypes::GetValidObjectTypeIDList(const CString& strDocTypes, CDWordArray& aTypeIDs,
                                              const ZB_OBJECTVISIBILITY* pExcludedVisibility) {
    aTypeIDs.RemoveAll();
    if (strDocTypes.IsEmpty()) {
        return false;
    }
    try {
        // The engine picks the rows (names compared ignoring case, as everywhere) in the set's
        // own order, in one read of the table as it stands, instead of this set being opened
        // anew and every row read to be compared here.
        CString names;
        for (const CString& name : RequestedTypes(strDocTypes)) {
            names += (names.IsEmpty() ? "" : ",") + QuoteText(name);
        }
        CString sql =
            "SELECT lObjectTypeID FROM tObjectTypes WHERE strDocumentType IN(" + names + ")";
        if (pExcludedVisibility != nullptr) {
            CString visibility;
            visibility.Format(" AND byVisibility<>%d", static_cast<int>(*pExcludedVisibility));
            sql += visibility;
        }
        CDaoRecordset ids(m_pDatabase);
        ids.Open(dbOpenSnapshot, sql + " ORDER BY lObjectTypeID");
        for (; !ids.IsEOF(); ids.MoveNext()) {
            aTypeIDs.Add(static_cast<DWORD>(ids.GetFieldValue(0).AsInt64()));
        }
        return true;
    } catch (const CDaoException&) {
        return false;
    }
}

long CRSObjectTypes::FindDocType(const CString& strDocType, const CBlob* pBlob) {
    if (m_pRSBlobs == nullptr || pBlob == nullptr) {
        return -1;
    }
    try {
        // The rows of the type with their blocks in one pass, in the set's order, as they stand
        // in the file now.
        CDaoRecordset rows(m_pDatabase);
        rows.Open(dbOpenForwardOnly,
                  "SELECT tObjectTypes.lObjectTypeID, tBlobs.blbBlob FROM tObjectTypes INNER JOIN "
                  "tBlobs ON tObjectTypes.lBlobID=tBlobs.lBlobID WHERE "
                  "tObjectTypes.strDocumentType=" +
                      QuoteText(strDocType) + " ORDER BY tObjectTypes.lObjectTypeID");
        for (; !rows.IsEOF(); rows.MoveNext()) {
            const COleVariant value = rows.GetFieldValue(1);
            const std::vector<BYTE>& block = value.AsBytes();
            const CBlob stored(block.data(), static_cast<DWORD>(block.size()));
            if (pBlob->IsSame(&stored)) {
                return static_cast<long>(rows.GetFieldValue(0).AsInt64());
            }
        }
    } catch (const CDaoException&) {
    }
    return -1;
}

long CRSObjectTypes::SaveDocType(const CString& strDocType, const CString& strDescription,
                                 const BYTE& byVisibility, CBlob* pBlob) {
    std::unique_ptr<CBlob> blob(pBlob);  // owned here until the blob set takes it
    try {
        OpenIfClosed();
        DaoTransaction transaction(*m_pDatabase);
        AddNew();
        m_strDocumentType = strDocType;
        m_strDescription = strDescription;
        m_lBlobID = m_pRSBlobs->SaveNew(blob.release());
        if (m_lBlobID == 0) {
            // No type row without its data block: parts stored against it could not be read.
            CancelUpdate();
            return -1;
        }
        m_byVisibility = byVisibility;
        Update();
        SetBookmark(GetLastModifiedBookmark());
        transaction.Commit();
        return m_lObjectTypeID;
    } catch (const CDaoException&) {
        if (IsOpen() && GetEditMode() != dbEditNone) {
            CancelUpdate();
        }
        return -1;
    }
}
