#include "platform/dao/CDaoTableDef.h"

#include <string>

#include "platform/dao/CDaoDatabase.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/Connection.h"

void CDaoTableDef::Create(const char* name, long, const char*, const char*) {
    m_strName = name;
    m_fields.clear();
    m_bNew = true;
    m_bOpen = true;
}

void CDaoTableDef::Open(const char* name) {
    auto& connection = m_pDatabase->Connection();
    const auto table = connection.FindTable(name);
    if (!table) {
        throw CDaoException(JET_ERROR_ITEM_NOT_FOUND, "DAO.TableDefs",
                            CString("Item not found in this collection: ") + name);
    }
    m_strName = *table;
    m_fields.clear();
    for (const auto& column : connection.TableColumns(*table)) {
        CDaoFieldInfo field;
        field.m_strName = column.name;
        field.m_nType = column.daoType;
        field.m_bRequired = column.required;
        m_fields.push_back(field);
    }
    m_bNew = false;
    m_bOpen = true;
}

void CDaoTableDef::CreateField(const char* name, short type, long size, long attributes) {
    CDaoFieldInfo field;
    field.m_strName = name;
    field.m_nType = type;
    field.m_lSize = size;
    field.m_lAttributes = attributes;
    CreateField(field);
}

void CDaoTableDef::CreateField(const CDaoFieldInfo& field) {
    m_fields.push_back(field);
}

void CDaoTableDef::Append() {
    if (!m_bNew) {
        throw CDaoException(JET_ERROR_NOT_SUPPORTED, "DAO.TableDefs",
                            "Only a table made with Create can be appended.");
    }
    std::vector<vaultry::dao::Connection::ColumnSpec> columns;
    for (const CDaoFieldInfo& field : m_fields) {
        columns.push_back({field.m_strName.str(), field.m_nType, field.m_lSize,
                           (field.m_lAttributes & dbAutoIncrField) != 0, field.m_bRequired});
    }
    m_pDatabase->Connection().CreateTable(m_strName.str(), columns);
    m_bNew = false;
}

void CDaoTableDef::Close() {
    m_bOpen = false;
    m_bNew = false;
}
