#include "tables/LibrarySchema.h"

#include "platform/afx/Win32Files.h"
#include "platform/dao/CDaoDatabase.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/CDaoTableDef.h"
#include "platform/dao/DaoQuote.h"
#include "platform/dao/DaoTransaction.h"

namespace vaultry::tables {

using dao::QuoteText;

const std::vector<TableDefinition>& LibrarySchema::Tables() {
    static const std::vector<TableDefinition> tables = {
        {"tObjects",
         {{"lObjectID", dbLong, 4, dbAutoIncrField},
          {"strObjectName", dbText, 255, 0},
          {"lUserID", dbLong, 4, 0},
          {"lObjectTreeID", dbLong, 4, 0},
          {"lObjectTypeID", dbLong, 4, 0},
          {"lBlobID", dbLong, 4, 0}},
         {{"idxObjectsName", "strObjectName"},
          {"idxObjectsTree", "lObjectTreeID"},
          {"idxObjectsType", "lObjectTypeID"}}},
        {"tBlobs",
         {{"blbBlob", dbLongBinary, 0, 0},
          {"lBlobID", dbLong, 4, dbAutoIncrField},
          {"lBlobSize", dbLong, 4, 0}},
         {}},
        {"tObjectTree",
         {{"lTreeID", dbLong, 4, dbAutoIncrField},
          {"strName", dbText, 255, 0},
          {"lLevel", dbLong, 4, 0},
          {"lUserID", dbLong, 4, 0},
          {"lParentID", dbLong, 4, 0}},
         {{"idxTreeParent", "lParentID"}, {"idxTreeOrder", "lLevel, strName"}}},
        {"tObjectTypes",
         {{"lObjectTypeID", dbLong, 4, dbAutoIncrField},
          {"strDescription", dbText, 255, 0},
          {"strDocumentType", dbText, 255, 0},
          {"lBlobID", dbLong, 4, 0},
          {"byVisibility", dbByte, 1, 0}},
         {{"idxTypesDocument", "strDocumentType"}}},
        {"tUserTree",
         {{"lUserID", dbLong, 4, 0},
          {"strUserName", dbText, 255, 0},
          {"lUserLevel", dbLong, 4, 0},
          {"strPassword", dbText, 255, 0},
          {"lSupervisorID", dbLong, 4, 0},
          {"bMayWrite", dbBoolean, 1, 0}},
         {{"idxUsersID", "lUserID"}}},
        {"SYS_INFO", {{"Version", dbText, 255, 0}}, {}},
    };
    return tables;
}

CString LibrarySchema::ConnectString(Generation generation) {
    CString connect;
    connect.Format(";PWD=%s", generation == Generation::kCurrent ? kCurrentGenerationPassword
                                                                 : kOlderGenerationPassword);
    return connect;
}

void LibrarySchema::CreateLibrary(const CString& path, const CString& rootName,
                                  Generation generation) {
    CDaoDatabase database;
    database.Create(path, CString(dbLangGeneral) + ConnectString(generation));
    try {
        dao::DaoTransaction transaction(database);
        CreateTables(database);
        AddFirstRows(database, rootName, generation);
        transaction.Commit();
    } catch (...) {
        database.Close();
        try {
            CDaoDatabase::DeleteDatabase(path);
        } catch (const CDaoException&) {
            // The failure that stopped the making is the one to report.
        }
        throw;
    }
}

void LibrarySchema::CreateTables(CDaoDatabase& database) {
    for (const TableDefinition& table : Tables()) {
        CDaoTableDef definition(&database);
        definition.Create(table.name);
        for (const FieldDefinition& field : table.fields) {
            definition.CreateField(field.name, field.type, field.size, field.attributes);
        }
        definition.Append();
        for (const IndexDefinition& index : table.indexes) {
            CString sql;
            sql.Format("CREATE INDEX [%s] ON [%s] (%s)", index.name, table.name, index.columns);
            database.Execute(sql);
        }
    }
}

void LibrarySchema::AddFirstRows(CDaoDatabase& database, const CString& rootName,
                                 Generation generation) {
    const char* version = generation == Generation::kCurrent ? kCurrentVersion : kOlderVersion;
    database.Execute(CString("INSERT INTO SYS_INFO (Version) VALUES (") + QuoteText(version) + ")");
    database.Execute(
        "INSERT INTO tUserTree (lUserID, strUserName, lUserLevel, strPassword, lSupervisorID, "
        "bMayWrite) VALUES (0, " +
        QuoteText(AfxGetLogonUserName()) + ", 0, '', 0, 1)");
    database.Execute("INSERT INTO tObjectTree (strName, lLevel, lUserID, lParentID) VALUES (" +
                     QuoteText(rootName) + ", 0, 0, 0)");
    database.Execute("UPDATE tObjectTree SET lParentID=lTreeID");
}

}  // namespace vaultry::tables
