#pragma once
// Binds a record set's member variables to its columns by name. DoFieldExchange calls one DFX_
// function per bound column, in order; each either sets its member from the exchange (Load,
// SetDefaults) or hands the member's value to it (Snapshot, CollectChanges).

#include "platform/afx/CByteArray.h"
#include "platform/afx/COleVariant.h"
#include "platform/afx/CString.h"
#include "platform/dao/DaoConstants.h"

class CDaoRecordset;

class CDaoFieldExchange {
public:
    enum Operation {
        Load,            // members from the current row
        Snapshot,        // remember the members, so Update can tell what changed
        CollectChanges,  // the members that differ from the snapshot (all of them after AddNew)
        SetDefaults,     // members to 0 or empty, for a new row
    };

    CDaoFieldExchange(Operation operation, CDaoRecordset* recordset)
        : m_nOperation(operation), m_prs(recordset) {}

    // True when the DFX_ function is to set its member from Value.
    bool IsLoading() const { return m_nOperation == Load || m_nOperation == SetDefaults; }
    // The value for the next field, named `column`: the current row's, or null for defaults.
    const COleVariant& Value(const char* column);
    // Hands over the next field's member value.
    void Record(const char* column, const COleVariant& current);

    const Operation m_nOperation;
    CDaoRecordset* const m_prs;
    int m_nField = 0;  // index of the field being exchanged
};

void DFX_Long(CDaoFieldExchange* pFX, const char* column, long& value,
              DWORD options = AFX_DAO_ENABLE_FIELD_CACHE);
void DFX_Short(CDaoFieldExchange* pFX, const char* column, short& value,
               DWORD options = AFX_DAO_ENABLE_FIELD_CACHE);
void DFX_Byte(CDaoFieldExchange* pFX, const char* column, BYTE& value,
              DWORD options = AFX_DAO_ENABLE_FIELD_CACHE);
void DFX_Bool(CDaoFieldExchange* pFX, const char* column, BOOL& value,
              DWORD options = AFX_DAO_ENABLE_FIELD_CACHE);
void DFX_Double(CDaoFieldExchange* pFX, const char* column, double& value,
                DWORD options = AFX_DAO_ENABLE_FIELD_CACHE);
// `preAllocSize` is DAO's buffer size hint; texts of any length are exchanged whole.
void DFX_Text(CDaoFieldExchange* pFX, const char* column, CString& value,
              int preAllocSize = AFX_DAO_TEXT_DEFAULT_SIZE,
              DWORD options = AFX_DAO_ENABLE_FIELD_CACHE);
// The whole value in one piece; `preAllocSize` is a buffer size hint.
void DFX_Binary(CDaoFieldExchange* pFX, const char* column, CByteArray& value,
                int preAllocSize = AFX_DAO_BINARY_DEFAULT_SIZE,
                DWORD options = AFX_DAO_ENABLE_FIELD_CACHE);
