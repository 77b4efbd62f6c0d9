#pragma once
// The record set on tObjectTypes: document types with their description, visibility and the
// blob of their common library data block. One document type may have several rows, one per
// set of layer and colour definitions its parts were stored with. DAO errors are silent here.

#include "platform/afx/CDWordArray.h"
#include "platform/dao/CDaoRecordset.h"

class CBlob;
class CRSBlobs;

// Visibility class of a type row: the part lists hide types of visibility 1.
enum ZB_OBJECTVISIBILITY : BYTE {
    ZB_VISIBILITY_NORMAL = 0,
    ZB_VISIBILITY_HIDDEN = 1,
    ZB_VISIBILITY_STORE_ONLY = 2,
};

class CRSObjectTypes : public CDaoRecordset {
public:
    explicit CRSObjectTypes(CDaoDatabase* pDatabase);
    ~CRSObjectTypes() override;

    using CDaoRecordset::Open;
    // Opens the set, then makes its private blob set.
    void Open(int openType = AFX_DAO_USE_DEFAULT_TYPE, const char* sql = nullptr,
              int options = 0) override;
    // Closes the set and frees its blob set.
    void Close() override;
    CString GetDefaultSQL() override;
    void DoFieldExchange(CDaoFieldExchange* pFX) override;

    // The type's data block into `pBlob` (as CRSBlobs::Load); false when the type is missing.
    bool Load(long lObjectTypeID, CBlob*& pBlob);
    // Overwrites the type's data block; false when the type is missing or writing fails.
    // Consumes `pBlob` on every path, so that no caller has to tell which path was taken.
    bool Save(long lObjectTypeID, CBlob* pBlob);
    // "" when not found.
    CString GetDocType(long lObjectTypeID);
    bool GetDocTypeDescrption(long lObjectTypeID, CString& strDescription);
    // `strDescription` is `strDocType` itself unless a row describes it.
    bool GetDocTypeDescrption(const CString& strDocType, CString& strDescription);
    bool GetDocTypeOtherData(const CString& strDocType, CString& strDescription,
                             BYTE& byVisibility);
    // True when a row of the document type exists (ignoring case), after adding one with an
    // empty data block when `bCreate`.
    bool CheckObjectTypeExist(const CString& strDocType, bool bCreate,
                              const CString& strDescription, ZB_OBJECTVISIBILITY eVisibility);
    // The ids of every row of any of `strDocTypes` ("A" or "A|B|..."; case ignored), leaving
    // out rows of the visibility `pExcludedVisibility` points at. False for an empty request
    // or a database failure.
    bool GetValidObjectTypeIDList(const CString& strDocTypes, CDWordArray& aTypeIDs,
                                  const ZB_OBJECTVISIBILITY* pExcludedVisibility);
    // Whether the row of the id is of any of `strDocTypes`, as GetValidObjectTypeIDList reads
    // them, answered from the rows the set holds (read again only for an id it does not hold):
    // a row's document type never changes once written.
    bool IsOfDocTypes(long lObjectTypeID, const CString& strDocTypes);
    // The row of `strDocType` whose data block equals `pBlob` (which stays the caller's); -1
    // when none, when `pBlob` is null, or when the set was never opened.
    long FindDocType(const CString& strDocType, const CBlob* pBlob);
    // Adds a row with `pBlob` (consumed) as its data block; its id, or -1.
    long SaveDocType(const CString& strDocType, const CString& strDescription,
                     const BYTE& byVisibility, CBlob* pBlob);

    CRSBlobs* m_pRSBlobs = nullptr;  // owned; exists while the set is open

    long m_lObjectTypeID = 0;
    CString m_strDescription;
    CString m_strDocumentType;
    long m_lBlobID = 0;
    BYTE m_byVisibility = 0;

private:
    void OpenIfClosed();
    bool OnRow() const;
    bool FindTypeID(long lObjectTypeID);
    bool FindDocumentType(const CString& strDocType);
};
