#include "tests/platform/dao/TestPartSet.h"

#include "platform/dao/CDaoFieldExchange.h"
#include "platform/dao/CDaoTableDef.h"

namespace vaultry::test {

void CreatePartsTable(CDaoDatabase& database) {
    CDaoTableDef table(&database);
    table.Create("tParts");
    table.CreateField("lPartID", dbLong, 4, dbAutoIncrField);
    table.CreateField("strName", dbText, 255);
    table.CreateField("lOwner", dbLong, 4);
    table.CreateField("blbData", dbLongBinary, 0);
    table.Append();
    database.Execute("CREATE INDEX idxPartsName ON tParts (strName)");
}

void CTestPartSet::DoFieldExchange(CDaoFieldExchange* pFX) {
    DFX_Long(pFX, "[lPartID]", m_lPartID);
    DFX_Text(pFX, "[strName]", m_strName);
    DFX_Long(pFX, "[lOwner]", m_lOwner);
    DFX_Binary(pFX, "[blbData]", m_blbData, 8192);
}

long CTestPartSet::Add(const CString& name, long owner) {
    if (!IsOpen()) {
        Open();
    }
    AddNew();
    m_strName = name;
    m_lOwner = owner;
    Update();
    MoveLast();
    return m_lPartID;
}

}  // namespace vaultry::test
