// The catalog half of SqliteConnection: tables as SQLite describes and makes them.

#include "platform/afx/CString.h"
#include "platform/dao/DaoConstants.h"
#include "platform/dao/JetSql.h"
#include "platform/dao/JetText.h"
#include "platform/dao/SqliteConnection.h"

namespace vaultry::dao {
namespace {

std::string ColumnDefinition(const Connection::ColumnSpec& column) {
    const std::string name = QuoteIdentifier(column.name);
    std::string sql = name;
    switch (column.daoType) {
        case dbText:
        case dbMemo:
            sql += std::string(" TEXT COLLATE ") + kJetCollation;
            if (column.daoType == dbText && column.size > 0) {
                sql += " CHECK(length(" + name + ")<=" + std::to_string(column.size) + ")";
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
            sql += column.autoIncrement ? " INTEGER PRIMARY KEY AUTOINCREMENT" : " INTEGER";
            break;
    }
    if (column.required) {
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

std::optional<std::string> SqliteConnection::FindTable(std::string_view name) {
    auto table =
        Prepare("SELECT name FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE");
    table->Bind(1, COleVariant(CString(name)));
    if (!table->Step()) {
        return std::nullopt;
    }
    return table->Column(0).AsText().str();
}

std::vector<Connection::ColumnInfo> SqliteConnection::TableColumns(const std::string& table) {
    std::vector<ColumnInfo> columns;
    auto info = Prepare("PRAGMA table_info(" + QuoteIdentifier(table) + ")");
    while (info->Step()) {
        columns.push_back({info->Column(1).AsText().str(), DaoType(info->Column(2).AsText()),
                           info->ColumnInt64(3) != 0});
    }
    return columns;
}

void SqliteConnection::CreateTable(const std::string& name,
                                   const std::vector<ColumnSpec>& columns) {
    std::string sql = "CREATE TABLE " + QuoteIdentifier(name) + " (";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        sql += (i ? ", " : "") + ColumnDefinition(columns[i]);
    }
    Execute(sql + ")");
}

}  // namespace vaultry::dao
