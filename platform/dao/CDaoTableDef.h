#pragma once
// A table definition: describe a new table field by field and Append it, or Open an existing
// one by name. Text columns ignore case as Jet's do, and refuse texts longer than their size.

#include <vector>

#include "platform/afx/CObject.h"
#include "platform/afx/CString.h"
#include "platform/dao/DaoConstants.h"

class CDaoDatabase;

struct CDaoFieldInfo {
    CString m_strName;
    short m_nType = dbText;
    long m_lSize = 0;
    long m_lAttributes = 0;
    bool m_bRequired = false;
    bool m_bAllowZeroLength = true;
};

class CDaoTableDef : public CObject {
public:
    // `database` is not owned.
    explicit CDaoTableDef(CDaoDatabase* database) : m_pDatabase(database) {}

    // Starts the definition of a new table; nothing is written until Append.
    void Create(const char* name, long attributes = 0, const char* sourceTable = nullptr,
                const char* connect = nullptr);
    // Opens the definition of an existing table. Throws "Item not found in this collection."
    // when there is none of that name (names ignore case).
    void Open(const char* name);
    // Creates the table described since Create. Throws CDaoException.
    void Append();
    void Close();
    bool IsOpen() const { return m_bOpen; }
    CString GetName() const { return m_strName; }

    void CreateField(const char* name, short type, long size, long attributes = 0);
    void CreateField(const CDaoFieldInfo& field);
    // Of an opened or described table.
    short GetFieldCount() const { return static_cast<short>(m_fields.size()); }

    CDaoDatabase* m_pDatabase;

private:
    CString m_strName;
    std::vector<CDaoFieldInfo> m_fields;
    bool m_bOpen = false;
    bool m_bNew = false;
};
