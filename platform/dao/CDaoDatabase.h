#pragma once
// A library database: a file, or a schema on a PostgreSQL server named by a connection string
// ("postgresql://..."). A database carries its password: Open with a missing or wrong
// ";PWD=" in the connect string fails as Jet's "Not a valid password." does. SQL handed to
// Execute, record sets and table definitions is Jet SQL (see JetSql.h).

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/afx/CObject.h"
#include "platform/afx/COleVariant.h"
#include "platform/afx/CString.h"
#include "platform/dao/DaoConstants.h"

class CDaoWorkspace;

namespace vaultry::dao {
class Connection;
}

class CDaoDatabase : public CObject {
public:
    // `workspace` is not owned; null means a default workspace of the database's own.
    explicit CDaoDatabase(CDaoWorkspace* workspace = nullptr);
    ~CDaoDatabase() override;
    CDaoDatabase(const CDaoDatabase&) = delete;
    CDaoDatabase& operator=(const CDaoDatabase&) = delete;

    // Opens an existing file. `connect` may hold ";PWD=password". Throws CDaoException.
    virtual void Open(const char* name, BOOL exclusive = FALSE, BOOL readOnly = FALSE,
                      const char* connect = "");
    // Makes a new file; `locale` is a locale string such as dbLangGeneral, optionally followed
    // by ";pwd=password". Fails when the file exists. Throws CDaoException.
    virtual void Create(const char* name, const char* locale = dbLangGeneral, int options = 0);
    virtual void Close();
    // Removes what Create made of the database `name` and its caller's transactions left:
    // the file, or on a server its properties (the schema stays; its other tables are the
    // caller's). Throws CDaoException.
    static void DeleteDatabase(const char* name);
    bool IsOpen() const { return m_connection != nullptr; }
    // The path the database was opened or created with; empty when closed.
    CString GetName() const { return m_strName; }
    bool CanUpdate() const { return IsOpen() && !m_bReadOnly; }

    // Runs an action statement. Throws CDaoException.
    void Execute(const char* sql, int options = dbFailOnError);
    // Not in DAO: runs an action statement whose `?` marks take `values` in order, as they
    // are, so that a statement run often is neither written out nor read again each time.
    // Throws CDaoException.
    void Execute(const char* sql, const std::vector<COleVariant>& values);
    // Not in DAO: the first value of the first row a query whose `?` marks take `values`
    // returns, or null when it returns none; for a test run often, such as whether a name is
    // taken. Throws CDaoException.
    COleVariant QueryValue(const char* sql, const std::vector<COleVariant>& values);
    // Not in DAO: the first value of every row such a query returns, in its order.
    std::vector<COleVariant> QueryColumn(const char* sql, const std::vector<COleVariant>& values);
    long GetRecordsAffected() const { return m_lRecordsAffected; }
    // Deletes a table. Throws CDaoException when there is none of that name.
    void DeleteTableDef(const char* name);
    // How long a statement waits for another process's lock before failing with SQLite's busy
    // error. Five seconds unless set.
    void SetQueryTimeout(short seconds);

    // Grows with every rollback on this database (of a transaction or a nested one): whatever
    // was seen written before may be gone since. 0 when closed.
    std::uint64_t GetRollbackCount() const;
    // True while a transaction (DaoTransaction) is open on this database.
    bool InTransaction() const;
    // Grows with every table or index made or dropped through this database. 0 when closed.
    std::uint64_t GetSchemaChangeCount() const;

    CDaoWorkspace* m_pWorkspace;

    // For the record sets and table definitions of this layer. Throws when closed.
    vaultry::dao::Connection& Connection() const;

private:
    void Attach(std::unique_ptr<vaultry::dao::Connection> connection, const char* name);
    void VerifyPassword(const CString& given);
    // A text given with values, translated once.
    const std::string& Translated(const char* sql);
    // Runs a translated statement with `values` bound to its marks.
    void RunBound(const std::string& sql, const std::vector<COleVariant>& values);

    std::unique_ptr<vaultry::dao::Connection> m_connection;
    std::unique_ptr<CDaoWorkspace> m_ownWorkspace;
    // Texts given with values, each with its translation: such a text is the same every time
    // it runs.
    std::unordered_map<std::string, std::string> m_translatedTexts;
    CString m_strName;
    bool m_bReadOnly = false;
    long m_lRecordsAffected = 0;
};
