#include "tables/CRSObjects.h"

#include <memory>
#include <string>
#include <vector>

#include "host/CBlob.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/dao/CDaoDatabase.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/CDaoFieldExchange.h"
#include "platform/dao/DaoQuote.h"
#include "platform/dao/DaoTransaction.h"
#include "tables/CRSBlobs.h"
#include "tables/FindReadingAgain.h"
#include "tables/TierRights.h"

using vaultry::dao::DaoTransaction;
using vaultry::dao::QuoteText;
using vaultry::tables::FindReadingAgain;
using vaultry::tables::TierRights;

CRSObjects::CRSObjects(DATABASETYPE eType, CDaoDatabase* pDatabase)
    : CDaoRecordset(pDatabase), m_eDatabaseType(eType) {
    m_nFields = 6;
    m_nDefaultType = dbOpenDynaset;
}

CRSObjects::~CRSObjects() {
    Close();
}

void CRSObjects::Open(int openType, const char* sql, int options) {
    CDaoRecordset::Open(openType, sql, options);
    delete m_pRSBlobs;
    m_pRSBlobs = new CRSBlobs(m_pDatabase);
}

void CRSObjects::Close() {
    if (m_pRSBlobs != nullptr) {
        m_pRSBlobs->Close();
        delete m_pRSBlobs;
        m_pRSBlobs = nullptr;
    }
    if (IsOpen()) {
        CDaoRecordset::Close();
    }
}

CString CRSObjects::GetDefaultSQL() {
    return "SELECT tObjects.* FROM tObjects";
}

void CRSObjects::DoFieldExchange(CDaoFieldExchange* pFX) {
    DFX_Long(pFX, "[lObjectID]", m_lObjectID);
    DFX_Text(pFX, "[strObjectName]", m_strObjectName);
    DFX_Long(pFX, "[lUserID]", m_lUserID);
    DFX_Long(pFX, "[lObjectTreeID]", m_lObjectTreeID);
    DFX_Long(pFX, "[lObjectTypeID]", m_lObjectTypeID);
    DFX_Long(pFX, "[lBlobID]", m_lBlobID);
}

void CRSObjects::OpenIfClosed() {
    if (!IsOpen()) {
        Open();
    }
}

// A list leaves its own filter (or statement) on a set it shares; a lookup by id or name must
// see every part, so it first puts the set back on the whole table.
void CRSObjects::ShowWholeTable() {
    if (!IsOpen()) {
        Open();
    } else if (!m_strFilter.IsEmpty() || m_strSQL != GetDefaultSQL()) {
        m_strFilter.Empty();
        m_strSQL = GetDefaultSQL();
        Requery();
    }
}

bool CRSObjects::FindInWholeTable(const CString& filter) {
    ShowWholeTable();
    return FindFirst(filter) != FALSE;
}

CString CRSObjects::IdFilter(long lObjectID) {
    return CString("lObjectID=") + std::to_string(lObjectID).c_str();
}

bool CRSObjects::FindByID(long lObjectID) {
    return FindInWholeTable(IdFilter(lObjectID));
}

void CRSObjects::ShowError(const CDaoException& error) const {
    AfxMessageBox(error.GetErrorMessage(), MB_OK);
}

// A failed write leaves no edit open on the set, then the error is shown.
void CRSObjects::AbandonEdit(const CDaoException& error) {
    if (GetEditMode() != dbEditNone) {
        CancelUpdate();
    }
    ShowError(error);
}

CRSObjects::BlobsReadAlong::BlobsReadAlong(CRSObjects& parts) : m_parts(parts) {
    m_parts.SetReadAlong("(SELECT blbBlob FROM tBlobs WHERE tBlobs.lBlobID = tObjects.lBlobID)");
}

CRSObjects::BlobsReadAlong::~BlobsReadAlong() {
    m_parts.SetReadAlong(nullptr);
}

void CRSObjects::LoadBlob(CBlob*& pBlob) {
    const COleVariant* along = GetAlongValue();
    if (along == nullptr || along->IsNull()) {
        m_pRSBlobs->Load(m_lBlobID, pBlob);  // also tells a missing blob row from an empty one
        return;
    }
    const std::vector<BYTE>& bytes = along->AsBytes();
    delete pBlob;
    pBlob = new CBlob(bytes.data(), static_cast<DWORD>(bytes.size()));
}

long CRSObjects::LoadObject(long lObjectID, CBlob*& pBlob) {
    try {
        // A find reads the row as it stands; the set is read again only for a part it does
        // not hold, which another program may have stored since.
        ShowWholeTable();
        const BlobsReadAlong withContent(*this);
        if (!FindReadingAgain(*this, IdFilter(lObjectID))) {
            return 0;
        }
        LoadBlob(pBlob);
        return m_lObjectTypeID;
    } catch (const CDaoException& error) {
        ShowError(error);
        return 0;
    }
}

bool CRSObjects::SaveObject(const CString& strName, long lObjectTypeID, CBlob* pBlob,
                            long lObjectTreeID, NameTest nameTest) {
    if (pBlob == nullptr) {
        return false;
    }
    std::unique_ptr<CBlob> blob(pBlob);
    try {
        OpenIfClosed();
        if (nameTest == NameTest::kAsk && NameExists(strName)) {
            return false;
        }
        DaoTransaction transaction(*m_pDatabase);
        AddNew();
        m_lObjectTypeID = lObjectTypeID;
        m_strObjectName = strName;
        m_lObjectTreeID = lObjectTreeID;
        const TierRights* rights = TierRights::Of(m_pDatabase);
        m_lUserID = rights ? rights->GetUserID() : -1;
        m_lBlobID = m_pRSBlobs->SaveNew(blob.release());
        if (m_lBlobID == 0) {
            // The content could not be written: no part without content is stored.
            CancelUpdate();
            return false;
        }
        Update();
        SetBookmark(GetLastModifiedBookmark());
        transaction.Commit();
        return true;
    } catch (const CDaoException& error) {
        AbandonEdit(error);
        return false;
    }
}

bool CRSObjects::ReplaceObject(long lObjectID, CBlob* pBlob, long lObjectTypeID) {
    if (pBlob == nullptr) {
        return false;
    }
    std::unique_ptr<CBlob> blob(pBlob);
    try {
        if (!FindByID(lObjectID)) {
            return false;
        }
        DaoTransaction transaction(*m_pDatabase);
        if (!m_pRSBlobs->Save(blob.release(), m_lBlobID)) {
            return false;
        }
        Edit();
        m_lObjectTypeID = lObjectTypeID;
        Update();
        transaction.Commit();
        return true;
    } catch (const CDaoException& error) {
        AbandonEdit(error);
        return false;
    }
}

long CRSObjects::GetFirstObjectID(const CString& strName) {
    try {
        return FindInWholeTable("strObjectName=" + QuoteText(strName)) ? m_lObjectID : -1;
    } catch (const CDaoException& error) {
        ShowError(error);
        return -1;
    }
}

long CRSObjects::GetObjectID(const CString& strName, long lObjectTypeID) {
    try {
        // By the name alone, the type checked on the few rows it finds: asked for both, an
        // engine without statistics may walk every part of the type instead.
        const CString filter = "strObjectName=" + QuoteText(strName);
        for (bool found = FindInWholeTable(filter); found; found = FindNext(filter) != FALSE) {
            if (m_lObjectTypeID == lObjectTypeID) {
                return m_lObjectID;
            }
        }
        return -1;
    } catch (const CDaoException& error) {
        ShowError(error);
        return -1;
    }
}

long CRSObjects::GetObjectTypeID(long lObjectID) {
    try {
        return FindByID(lObjectID) ? m_lObjectTypeID : -1;
    } catch (const CDaoException& error) {
        ShowError(error);
        return -1;
    }
}

bool CRSObjects::NameExists(const CString& strName, const CDWordArray* pObjectTypeIDs,
                            long lExceptObjectID) {
    // Every store asks this first: the name is bound rather than written into a filter, and
    // the statement runs without a record set around it.
    std::string sql = "SELECT Count(*) FROM tObjects WHERE strObjectName=?";
    std::vector<COleVariant> values{COleVariant(strName)};
    if (pObjectTypeIDs != nullptr) {
        sql += " AND lObjectTypeID IN(-1";  // no type has it: an empty list matches nothing
        for (DWORD type : *pObjectTypeIDs) {
            sql += ",?";
            values.emplace_back(static_cast<std::int64_t>(type));
        }
        sql += ")";
    }
    if (lExceptObjectID >= 0) {
        sql += " AND lObjectID<>?";
        values.emplace_back(static_cast<std::int64_t>(lExceptObjectID));
    }
    return m_pDatabase->QueryValue(sql.c_str(), values).AsInt64() > 0;
}

bool CRSObjects::RenameObject(long lObjectID, const CString& strNewName) {
    try {
        if (!FindByID(lObjectID)) {
            return false;
        }
        Edit();
        m_strObjectName = strNewName;
        Update();
        return true;
    } catch (const CDaoException& error) {
        AbandonEdit(error);
        return false;
    }
}

bool CRSObjects::FindObjectID(long lObjectID) {
    try {
        return FindByID(lObjectID);
    } catch (const CDaoException& error) {
        ShowError(error);
        return false;
    }
}

bool CRSObjects::HasRights(long lObjectID, DATABASETYPE) {
    TierRights* rights = TierRights::Of(m_pDatabase);
    return rights != nullptr && FindObjectID(lObjectID) && rights->HasRightsOn(m_lUserID);
}

bool CRSObjects::Delete(long lObjectID) {
    if (!FindObjectID(lObjectID)) {
        return false;
    }
    CDaoRecordset::Delete();
    return true;
}
