#include "platform/dao/CDaoTableDef.h"

#include <string>

#include "platform/dao/CDaoDatabase.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/Connection.h"
#include "platform/dao/JetSql.h"
#include "platform/dao/JetText.h"

using vaultry::dao::QuoteIdentifier;

namespace {

std::string ColumnDefinition(const CDaoFieldInfo& field) {
    const std::string name = QuoteIdentifier(field.m_strName.str());
    std::string sql = name;
    switch (field.m_nType) {
        case dbText:
        case dbMemo:
            sql += std::string(" TEXT COLLATE ") + vaultry::dao::kJetCollation;
            if (field.m_nType == dbText && field.m_lSize > 0) {
                sql += " CHECK(length(" + name + ")<=" + std::to_string(field.m_lSize) + ")";
            }
            break;
        case dbSingle:
        case dbDouble:
        case dbDate:
            sql += " REAL";
            break;
        case dbLongBinary:
            sql += " BLOB";
            break;
        default:
            // An auto-increment field is the row id: assigned on insert, growing, never reused.
            sql += (field.m_lAttributes & dbAutoIncrField) ? " INTEGER PRIMARY KEY AUTOINCREMENT"
                                                           : " INTEGER";
            break;
    }
    if (field.m_bRequired) {
        sql += " NOT NULL";
    }
    return sql;
}

short DaoType(const CString& declaredType) {
    const CString type = CString(declaredType).MakeUpper();
    if (type.Find("INT") >= 0) {
        return dbLong;
    }
    if (type.Find("TEXT") >= 0 || type.Find("CHAR") >= 0) {
        return dbText;
    }
    if (type.Find("BLOB") >= 0 || type.IsEmpty()) {
        return dbLongBinary;
    }
    return dbDouble;
}

}  // namespace

void CDaoTableDef::Create(const char* name, long, const char*, const char*) {
    m_strName = name;
    m_fields.clear();
    m_bNew = true;
    m_bOpen = true;
}

void CDaoTableDef::Open(const char* name) {
    auto& connection = m_pDatabase->Connection();
    auto exists = connection.Prepare(
        "SELECT name FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE");
    exists->Bind(1, COleVariant(CString(name)));
    if (!exists->Step()) {
        throw CDaoException(JET_ERROR_ITEM_NOT_FOUND, "DAO.TableDefs",
                            CString("Item not found in this collection: ") + name);
    }
    m_strName = exists->Column(0).AsText();
    m_fields.clear();
    auto columns =
        connection.Prepare("PRAGMA table_info(" + QuoteIdentifier(m_strName.str()) + ")");
    while (columns->Step()) {
        CDaoFieldInfo field;
        field.m_strName = columns->Column(1).AsText();
        field.m_nType = DaoType(columns->Column(2).AsText());
        field.m_bRequired = columns->ColumnInt64(3) != 0;
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
    std::string sql = "CREATE TABLE " + QuoteIdentifier(m_strName.str()) + " (";
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        sql += (i ? ", " : "") + ColumnDefinition(m_fields[i]);
    }
    m_pDatabase->Connection().Execute(sql + ")");
    m_bNew = false;
}

void CDaoTableDef::Close() {
    m_bOpen = false;
    m_bNew = false;
}
