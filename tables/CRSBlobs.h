#pragma once
// The record set on tBlobs: stores and fetches byte blocks, each written and read whole. Used
// only through the private instances of CRSObjects and CRSObjectTypes.

#include "platform/afx/CByteArray.h"
#include "platform/dao/CDaoRecordset.h"

class CBlob;

class CRSBlobs : public CDaoRecordset {
public:
    explicit CRSBlobs(CDaoDatabase* pDatabase);

    // Replaces `pBlob` (freeing what it pointed at) with a new blob of row `lBlobID`'s bytes,
    // owned by the caller, or with null when there is no such row or the database fails.
    // Always true.
    bool Load(long lBlobID, CBlob*& pBlob);
    // Adds a row with the blob's bytes; its new id, or 0 when the database failed. Frees
    // `pBlob`, which must not be null, in every case.
    long SaveNew(const CBlob* pBlob);
    // Overwrites row `lBlobID` with the blob's bytes; true when the row existed and was
    // written. Frees `pBlob` in every case (null is allowed only for a missing row).
    bool Save(const CBlob* pBlob, long lBlobID);
    // Adds an empty row; its id, or -1 when the set cannot be opened. DAO errors reach the
    // caller.
    long CreateNew();

    void Close() override;
    CString GetDefaultSQL() override;
    void DoFieldExchange(CDaoFieldExchange* pFX) override;

    CByteArray m_blbBlob;
    long m_lBlobID = 0;
    long m_lBlobSize = 0;

private:
    void OpenIfClosed();
    void CopyIntoField(const CBlob& blob);
};
