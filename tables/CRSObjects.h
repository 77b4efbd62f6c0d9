#pragma once
// The record set on tObjects, the library's parts: find, insert, replace, rename, delete, and
// move part contents in and out of tBlobs through a private CRSBlobs. Operations open the set
// when it is closed; DAO errors are shown and give the failure value, except where noted.
// Lookups by id or name search the whole table: a filter left on the set by a list is
// dropped first (the set then shows the whole table).

#include "platform/afx/CDWordArray.h"
#include "platform/dao/CDaoRecordset.h"
#include "resources/DatabaseType.h"

class CBlob;
class CDaoException;
class CRSBlobs;

class CRSObjects : public CDaoRecordset {
public:
    // `pDatabase` is the database of tier `eType` (not owned).
    CRSObjects(DATABASETYPE eType, CDaoDatabase* pDatabase);
    ~CRSObjects() override;

    using CDaoRecordset::Delete;
    using CDaoRecordset::Open;
    // Opens the set, then makes its private blob set.
    void Open(int openType = AFX_DAO_USE_DEFAULT_TYPE, const char* sql = nullptr,
              int options = 0) override;
    // Closes the set and frees its blob set.
    void Close() override;
    CString GetDefaultSQL() override;
    void DoFieldExchange(CDaoFieldExchange* pFX) override;

    // The part's type id with `pBlob` replaced by its content (owned by the caller; null when
    // the blob row is missing), or 0 when there is no such part (`pBlob` untouched). Finds the
    // part even when a filter left on this set would hide it.
    long LoadObject(long lObjectID, CBlob*& pBlob);
    // The current part's content into `pBlob` (owned by the caller; null when the blob row is
    // missing or cannot be read): as read with the row while blobs are read along, else from
    // the blob set.
    void LoadBlob(CBlob*& pBlob);
    // While one lives, the set reads each part's content in the statement that finds or walks
    // to the part, so that a load standing on a part reads it in one statement, not two.
    class BlobsReadAlong {
    public:
        explicit BlobsReadAlong(CRSObjects& parts);  // `parts` must outlive this
        ~BlobsReadAlong();
        BlobsReadAlong(const BlobsReadAlong&) = delete;
        BlobsReadAlong& operator=(const BlobsReadAlong&) = delete;

    private:
        CRSObjects& m_parts;
    };
    // Whether SaveObject asks if the name is taken. kAskedByCaller: the caller found it free
    // within the write transaction it holds.
    enum class NameTest { kAsk, kAskedByCaller };
    // Adds a part in category `lObjectTreeID` owned by the current user; false (nothing
    // stored) when `pBlob` is null, the name exists anywhere in the database (whatever filter
    // is left on this set), or the content cannot be written. Row and content are written in
    // one transaction, and the set then stands on the new part. `pBlob` is consumed on every
    // path.
    bool SaveObject(const CString& strName, long lObjectTypeID, CBlob* pBlob, long lObjectTreeID,
                    NameTest nameTest = NameTest::kAsk);
    // Overwrites the part's content in place and sets its type; name, category, owner and blob
    // id stay. Content and row in one transaction. False when `pBlob` is null, the part is
    // missing, or writing fails. `pBlob` is consumed on every path.
    bool ReplaceObject(long lObjectID, CBlob* pBlob, long lObjectTypeID);
    // -1 when not found.
    long GetFirstObjectID(const CString& strName);
    // Whether any part of the database other than `lExceptObjectID` has the name (case
    // ignored), and one of `pObjectTypeIDs` when they are given, whatever this set shows.
    bool NameExists(const CString& strName, const CDWordArray* pObjectTypeIDs = nullptr,
                    long lExceptObjectID = -1);
    long GetObjectID(const CString& strName, long lObjectTypeID);
    long GetObjectTypeID(long lObjectID);
    // Does not test that the new name is free; callers do.
    bool RenameObject(long lObjectID, const CString& strNewName);
    // True, standing on the part, when it exists.
    bool FindObjectID(long lObjectID);
    // The current user's rights on the part's owner, in the tier this set's database is the
    // file of (a part id means nothing in another); false when not found. `eType` is that
    // tier, kept for callers that name it.
    bool HasRights(long lObjectID, DATABASETYPE eType);
    // Deletes the part's row (its blob row stays); false when not found. A DAO error of the
    // delete reaches the caller.
    bool Delete(long lObjectID);

    CRSBlobs* m_pRSBlobs = nullptr;  // owned; exists while the set is open
    const DATABASETYPE m_eDatabaseType;

    long m_lObjectID = 0;
    CString m_strObjectName;
    long m_lUserID = 0;
    long m_lObjectTreeID = 0;
    long m_lObjectTypeID = 0;
    long m_lBlobID = 0;

private:
    void OpenIfClosed();
    void ShowWholeTable();
    bool FindInWholeTable(const CString& filter);
    bool FindByID(long lObjectID);
    static CString IdFilter(long lObjectID);
    void ShowError(const CDaoException& error) const;
    void AbandonEdit(const CDaoException& error);
};
