#include "tables/CRSBlobs.h"

#include <algorithm>

#include "host/CBlob.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/CDaoFieldExchange.h"
#include "tables/FindReadingAgain.h"

CRSBlobs::CRSBlobs(CDaoDatabase* pDatabase) : CDaoRecordset(pDatabase) {
    m_nFields = 3;
    m_nDefaultType = dbOpenDynaset;
}

CString CRSBlobs::GetDefaultSQL() {
    return "SELECT tBlobs.* FROM tBlobs";
}

void CRSBlobs::DoFieldExchange(CDaoFieldExchange* pFX) {
    DFX_Binary(pFX, "[blbBlob]", m_blbBlob, 8192, AFX_DAO_ENABLE_FIELD_CACHE);
    DFX_Long(pFX, "[lBlobID]", m_lBlobID);
    DFX_Long(pFX, "[lBlobSize]", m_lBlobSize);
}

void CRSBlobs::Close() {
    if (IsOpen()) {
        CDaoRecordset::Close();
    }
}

void CRSBlobs::OpenIfClosed() {
    if (!IsOpen()) {
        Open();
    }
}

void CRSBlobs::CopyIntoField(const CBlob& blob) {
    m_lBlobSize = static_cast<long>(blob.m_nSize);
    m_blbBlob.SetSize(static_cast<int>(blob.m_nSize));
    std::copy(blob.m_pData, blob.m_pData + blob.m_nSize, m_blbBlob.begin());
}

bool CRSBlobs::Load(long lBlobID, CBlob*& pBlob) {
    delete pBlob;
    pBlob = new CBlob;
    try {
        OpenIfClosed();
        CString filter;
        filter.Format("lBlobID=%li", lBlobID);
        if (vaultry::tables::FindReadingAgain(*this, filter)) {  // also a blob stored since
            pBlob->m_nSize = static_cast<DWORD>(m_blbBlob.GetSize());
            pBlob->m_pData = pBlob->m_nSize ? new BYTE[pBlob->m_nSize] : nullptr;
            std::copy(m_blbBlob.begin(), m_blbBlob.end(), pBlob->m_pData);
            return true;
        }
    } catch (const CDaoException&) {
        // Failures are silent here: the caller sees the null blob.
    }
    delete pBlob;
    pBlob = nullptr;
    return true;
}

long CRSBlobs::SaveNew(const CBlob* pBlob) {
    long blobID = 0;
    try {
        OpenIfClosed();
        AddNew();
        CopyIntoField(*pBlob);
        Update();
        SetBookmark(GetLastModifiedBookmark());
        blobID = m_lBlobID;
    } catch (const CDaoException&) {
        if (IsOpen() && GetEditMode() != dbEditNone) {
            CancelUpdate();
        }
        blobID = 0;
    }
    delete pBlob;
    return blobID;
}

bool CRSBlobs::Save(const CBlob* pBlob, long lBlobID) {
    bool written = false;
    try {
        OpenIfClosed();
        CString filter;
        filter.Format("lBlobID=%li", lBlobID);
        if (pBlob != nullptr && FindFirst(filter)) {
            Edit();
            CopyIntoField(*pBlob);
            Update();
            written = true;
        }
    } catch (const CDaoException&) {
        if (IsOpen() && GetEditMode() != dbEditNone) {
            CancelUpdate();
        }
    }
    delete pBlob;
    return written;
}

long CRSBlobs::CreateNew() {
    OpenIfClosed();
    if (!IsOpen()) {
        return -1;
    }
    AddNew();
    m_lBlobSize = 0;
    Update();
    SetBookmark(GetLastModifiedBookmark());
    return m_lBlobID;
}
