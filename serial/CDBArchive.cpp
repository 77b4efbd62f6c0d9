#include "serial/CDBArchive.h"

#include "platform/dao/CDaoDatabase.h"
#include "platform/dao/CDaoFieldExchange.h"
#include "platform/dao/CDaoRecordset.h"
#include "platform/dao/CDaoTableDef.h"
#include "platform/dao/CDaoWorkspace.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"

namespace {

struct FieldDescription {
    int table;
    UINT nameID;
    short type;
    long size;
    bool required;
    bool allowZeroLength;
    long attributes;
};

constexpr UINT kTableNames[] = {IDS_DBARCHIVE_ELEMENTS, IDS_DBARCHIVE_ATTRIBUTES};
constexpr FieldDescription kFields[] = {
    {0, IDS_DBARCHIVE_ELEMENT_ID, dbLong, 4, true, false, dbFixedField | dbAutoIncrField},
    {0, IDS_DBARCHIVE_ELEMENT_NAME, dbMemo, 255, true, false, dbVariableField | dbUpdatableField},
    {0, IDS_DBARCHIVE_ELEMENT_PARENT, dbLong, 4, true, true, dbFixedField | dbUpdatableField},
    {1, IDS_DBARCHIVE_ATTRIBUTE_ID, dbLong, 4, true, false, dbFixedField | dbAutoIncrField},
    {1, IDS_DBARCHIVE_ATTRIBUTE_NAME, dbMemo, 255, true, false, dbVariableField | dbUpdatableField},
    {1, IDS_DBARCHIVE_ATTRIBUTE_PARENT, dbLong, 4, true, true, dbFixedField | dbUpdatableField},
};

// The root row's name: the element every written element lies inside.
constexpr const char* kRootName = "Document";

// The element rows, bound by the column names of the string table.
class CElementSet : public CDaoRecordset {
public:
    explicit CElementSet(CDaoDatabase* database)
        : CDaoRecordset(database),
          m_idColumn(ModuleString(IDS_DBARCHIVE_ELEMENT_ID)),
          m_nameColumn(ModuleString(IDS_DBARCHIVE_ELEMENT_NAME)),
          m_parentColumn(ModuleString(IDS_DBARCHIVE_ELEMENT_PARENT)) {
        m_nFields = 3;
    }
    CString GetDefaultSQL() override {
        return "SELECT * FROM [" + ModuleString(IDS_DBARCHIVE_ELEMENTS) + "]";
    }
    void DoFieldExchange(CDaoFieldExchange* pFX) override {
        DFX_Long(pFX, m_idColumn, m_lElementID);
        DFX_Text(pFX, m_nameColumn, m_strElementName);
        DFX_Long(pFX, m_parentColumn, m_lElementParent);
    }
    // Adds an element under `parent` and stands on it.
    void AddElement(const CString& name, long parent) {
        AddNew();
        m_strElementName = name;
        m_lElementParent = parent;
        Update();
        MoveLast();
    }

    long m_lElementID = 0;
    CString m_strElementName;
    long m_lElementParent = 0;

private:
    CString m_idColumn;
    CString m_nameColumn;
    CString m_parentColumn;
};

CElementSet& Elements(CDaoRecordset* set) {
    return *static_cast<CElementSet*>(set);
}

}  // namespace

CDBArchive::CDBArchive(const CPathString& path)
    : CXMLArchive(path, "", nullptr, true, false), m_pDBName(new CPathString) {}

CDBArchive::CDBArchive(const CPathString& path, CFile* pFile, bool bCompressed)
    : CXMLArchive(path, kCompressedMarker, pFile, false, bCompressed, true, nullptr, false),
      m_pDBName(new CPathString) {}

CDBArchive::~CDBArchive() {
    if (m_pDatabase != nullptr) {
        CloseDB();
    }
    delete m_pDBName;
}

void CDBArchive::SetDBName(CString& strName) {
    *m_pDBName = strName;
}

bool CDBArchive::CreateDB() {
    if (m_pDatabase != nullptr) {
        return false;
    }
    m_pDatabase = new CDaoDatabase;
    m_pDatabase->Create(*m_pDBName, ";LANGID=0x0409;CP=1252;COUNTRY=0", 0);
    if (!m_pDatabase->IsOpen()) {
        return false;
    }
    CDaoTableDef* table = nullptr;
    int current = -1;
    for (const FieldDescription& field : kFields) {
        if (field.table != current) {
            if (table != nullptr) {
                table->Append();
                table->Close();
                delete table;
            }
            current = field.table;
            table = new CDaoTableDef(m_pDatabase);
            table->Create(ModuleString(kTableNames[current]));
        }
        CDaoFieldInfo info;
        info.m_strName = ModuleString(field.nameID);
        info.m_nType = field.type;
        info.m_lSize = field.size;
        info.m_lAttributes = field.attributes;
        info.m_bRequired = field.required;
        info.m_bAllowZeroLength = field.allowZeroLength;
        table->CreateField(info);
    }
    table->Append();
    table->Close();
    delete table;
    OpenRecordSets();
    return true;
}

bool CDBArchive::OpenDB(bool bCreate) {
    if (!m_pDBName->FileExists()) {
        return bCreate && CreateDB();
    }
    if (m_pDatabase != nullptr) {
        return false;
    }
    m_pWorkspace = new CDaoWorkspace;
    m_pWorkspace->Open();
    m_pDatabase = new CDaoDatabase(m_pWorkspace);
    m_pDatabase->Open(*m_pDBName, FALSE, FALSE, "");
    if (!m_pDatabase->IsOpen()) {
        return false;
    }
    OpenRecordSets();
    return true;
}

void CDBArchive::OpenRecordSets() {
    m_pRSElements = new CElementSet(m_pDatabase);
    m_pRSElements->Open();
    m_pRSAttributes = new CDaoRecordset(m_pDatabase);
    m_pRSAttributes->Open(dbOpenDynaset,
                          "SELECT * FROM [" + ModuleString(IDS_DBARCHIVE_ATTRIBUTES) + "]");
    if (m_pRSElements->IsEOF()) {
        Elements(m_pRSElements).AddElement(kRootName, 0);
    }
}

bool CDBArchive::CloseDB() {
    for (CDaoRecordset** set : {&m_pRSElements, &m_pRSAttributes}) {
        if (*set != nullptr) {
            (*set)->Close();
            delete *set;
            *set = nullptr;
        }
    }
    if (m_pDatabase != nullptr) {
        m_pDatabase->Close();
        delete m_pDatabase;
        m_pDatabase = nullptr;
    }
    if (m_pWorkspace != nullptr) {
        m_pWorkspace->Close();
        delete m_pWorkspace;
        m_pWorkspace = nullptr;
    }
    return true;
}

void CDBArchive::WriteElementStart(const CString& strName) {
    CElementSet& elements = Elements(m_pRSElements);
    elements.AddElement(strName, elements.m_lElementID);
}

void CDBArchive::WriteElementEnd(const CString&) {
    CString filter;
    filter.Format("%s = %lu", ModuleString(IDS_DBARCHIVE_ELEMENT_ID).GetString(),
                  static_cast<unsigned long>(Elements(m_pRSElements).m_lElementParent));
    m_pRSElements->FindFirst(filter);
}
