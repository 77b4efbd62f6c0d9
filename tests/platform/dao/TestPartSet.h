#pragma once
// A record set over a small parts table, shaped like the library's own sets, for testing the
// DAO layer on real files.

#include <string>

#include "platform/afx/CByteArray.h"
#include "platform/dao/CDaoDatabase.h"
#include "platform/dao/CDaoRecordset.h"

namespace vaultry::test {

// Creates "tParts" (lPartID auto, strName text 255, lOwner long, blbData binary) in `database`.
void CreatePartsTable(CDaoDatabase& database);

class CTestPartSet : public CDaoRecordset {
public:
    explicit CTestPartSet(CDaoDatabase* database) : CDaoRecordset(database) { m_nFields = 4; }

    CString GetDefaultSQL() override { return "SELECT tParts.* FROM tParts"; }
    void DoFieldExchange(CDaoFieldExchange* pFX) override;

    // Adds a part and returns its id (read back with MoveLast).
    long Add(const CString& name, long owner);

    long m_lPartID = 0;
    CString m_strName;
    long m_lOwner = 0;
    CByteArray m_blbData;
};

}  // namespace vaultry::test
