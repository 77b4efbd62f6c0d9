#include "platform/dao/CDaoDatabase.h"

#include <unistd.h>

#include <string>

#include "platform/dao/CDaoException.h"
#include "platform/dao/CDaoWorkspace.h"
#include "platform/dao/JetSql.h"
#include "platform/dao/PgConnection.h"
#include "platform/dao/ServerLocation.h"
#include "platform/dao/SqliteConnection.h"

using vaultry::dao::SqliteConnection;

namespace {

// Where a file keeps its database password, beside the user's tables as Jet keeps its MSys
// tables. The password gates which program generation may open a file; it is no secret.
constexpr const char* kPropertiesTable = "MSysDaoProperties";
constexpr const char* kCreateProperties =
    "CREATE TABLE MSysDaoProperties (Name TEXT PRIMARY KEY, Value TEXT)";
constexpr const char* kReadPassword = "SELECT Value FROM MSysDaoProperties WHERE Name='Password'";
constexpr const char* kWritePassword =
    "INSERT INTO MSysDaoProperties (Name, Value) VALUES ('Password', ?)";

// Far more than the statements this program runs with values; a bound on a caller's mistake.
constexpr std::size_t kTranslatedTextsKept = 64;

// The value of `key` in a ";KEY=value;KEY=value" string; keys ignore case, values do not.
CString ConnectValue(const char* connect, const char* key) {
    const std::string text = connect ? connect : "";
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(';', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string segment = text.substr(start, end - start);
        const std::size_t equals = segment.find('=');
        if (equals != std::string::npos &&
            CString(segment.substr(0, equals)).CompareNoCase(key) == 0) {
            return CString(segment.substr(equals + 1));
        }
        start = end + 1;
    }
    return "";
}

// A database on a server is named by its connection string; any other name is a file's.
std::unique_ptr<vaultry::dao::Connection> Connect(const char* name, SqliteConnection::Mode mode,
                                                  bool exclusive) {
    if (vaultry::dao::IsServerLocation(name)) {
        return std::make_unique<vaultry::dao::PgConnection>(
            name, mode == SqliteConnection::Mode::kReadOnly);
    }
    return std::make_unique<SqliteConnection>(name, mode, exclusive);
}

[[noreturn]] void ThrowDatabaseExists() {
    throw CDaoException(JET_ERROR_DATABASE_EXISTS, "DAO.Workspace", "Database already exists.");
}

}  // namespace

CDaoDatabase::CDaoDatabase(CDaoWorkspace* workspace) : m_pWorkspace(workspace) {
    if (m_pWorkspace == nullptr) {
        m_ownWorkspace = std::make_unique<CDaoWorkspace>();
        m_ownWorkspace->Open();
        m_pWorkspace = m_ownWorkspace.get();
    }
}

CDaoDatabase::~CDaoDatabase() {
    CDaoDatabase::Close();
}

// Opening and creating let go of a file held before with this class's own Close: a derived
// Close is a closing of the derived object's own (it may remember state) and not meant here.
void CDaoDatabase::Open(const char* name, BOOL exclusive, BOOL readOnly, const char* connect) {
    CDaoDatabase::Close();
    const auto mode =
        readOnly ? SqliteConnection::Mode::kReadOnly : SqliteConnection::Mode::kReadWrite;
    Attach(Connect(name, mode, exclusive != FALSE), name);
    m_bReadOnly = readOnly != FALSE;
    try {
        VerifyPassword(ConnectValue(connect, "PWD"));
    } catch (...) {
        CDaoDatabase::Close();
        throw;
    }
}

void CDaoDatabase::Create(const char* name, const char* locale, int) {
    CDaoDatabase::Close();
    auto connection = Connect(name, SqliteConnection::Mode::kCreate, false);
    try {
        connection->BeginTransaction(true);
        connection->PrepareNewDatabase();
        // A new file is empty; a schema on a server may hold a database already.
        if (connection->FindTable(kPropertiesTable)) {
            ThrowDatabaseExists();
        }
        connection->Execute(kCreateProperties);
        const CString password = ConnectValue(locale, "PWD");
        if (!password.IsEmpty()) {
            auto insert = connection->Prepare(kWritePassword);
            insert->Bind(1, COleVariant(password));
            insert->Step();
        }
        connection->CommitTransaction();
    } catch (...) {
        // A database that was not made whole is not left behind half made.
        try {
            if (connection->InTransaction()) {
                connection->RollbackTransaction();
            }
        } catch (const CDaoException&) {
            // The failure being reported is the one that matters; a file goes below anyway.
        }
        connection.reset();
        if (!vaultry::dao::IsServerLocation(name)) {
            ::unlink(name);
        }
        throw;
    }
    Attach(std::move(connection), name);
    m_bReadOnly = false;
}

void CDaoDatabase::DeleteDatabase(const char* name) {
    if (!vaultry::dao::IsServerLocation(name)) {
        ::unlink(name);
        return;
    }
    auto connection = Connect(name, SqliteConnection::Mode::kReadWrite, false);
    connection->BeginTransaction(true);
    connection->Execute("DROP TABLE IF EXISTS MSysDaoProperties");
    connection->CommitTransaction();
}

void CDaoDatabase::Close() {
    if (m_connection == nullptr) {
        return;
    }
    m_connection.reset();
    m_strName.Empty();
    m_pWorkspace->Detach(this);
}

void CDaoDatabase::Attach(std::unique_ptr<vaultry::dao::Connection> connection, const char* name) {
    m_connection = std::move(connection);
    m_strName = name;
    m_pWorkspace->Attach(this);
}

void CDaoDatabase::VerifyPassword(const CString& given) {
    if (!m_connection->FindTable(kPropertiesTable)) {
        return;  // a file without properties has no password, and Jet then accepts any
    }
    auto read = m_connection->Prepare(kReadPassword);
    const CString stored = read->Step() ? read->Column(0).AsText() : CString();
    if (!stored.IsEmpty() && stored != given) {
        throw CDaoException(JET_ERROR_INVALID_PASSWORD, "DAO.Workspace", "Not a valid password.");
    }
}

void CDaoDatabase::Execute(const char* sql, int) {
    vaultry::dao::Connection& connection = Connection();
    const std::string translated = vaultry::dao::TranslateJetSql(sql);
    if (const auto statement = vaultry::dao::ParameterizeRowStatement(translated)) {
        RunBound(statement->sql, statement->values);
        return;
    }
    connection.Execute(translated);
    m_lRecordsAffected = connection.Changes();
}

void CDaoDatabase::Execute(const char* sql, const std::vector<COleVariant>& values) {
    RunBound(Translated(sql), values);
}

COleVariant CDaoDatabase::QueryValue(const char* sql, const std::vector<COleVariant>& values) {
    auto prepared = Connection().Prepare(Translated(sql));
    prepared->BindAll(values);
    return prepared->Step() ? prepared->Column(0) : COleVariant::Null();
}

std::vector<COleVariant> CDaoDatabase::QueryColumn(const char* sql,
                                                   const std::vector<COleVariant>& values) {
    auto prepared = Connection().Prepare(Translated(sql));
    prepared->BindAll(values);
    std::vector<COleVariant> column;
    while (prepared->Step()) {
        column.push_back(prepared->Column(0));
    }
    return column;
}

const std::string& CDaoDatabase::Translated(const char* sql) {
    auto known = m_translatedTexts.find(sql);
    if (known == m_translatedTexts.end()) {
        if (m_translatedTexts.size() >= kTranslatedTextsKept) {
            m_translatedTexts.clear();  // a caller writing values into the text after all
        }
        known = m_translatedTexts.emplace(sql, vaultry::dao::TranslateJetSql(sql)).first;
    }
    return known->second;
}

void CDaoDatabase::RunBound(const std::string& sql, const std::vector<COleVariant>& values) {
    vaultry::dao::Connection& connection = Connection();
    auto prepared = connection.Prepare(sql);
    prepared->BindAll(values);
    while (prepared->Step()) {
    }
    m_lRecordsAffected = connection.Changes();
}

void CDaoDatabase::DeleteTableDef(const char* name) {
    Connection().Execute("DROP TABLE " + vaultry::dao::QuoteIdentifier(name));
}

void CDaoDatabase::SetQueryTimeout(short seconds) {
    Connection().SetBusyTimeout(seconds * 1000);
}

std::uint64_t CDaoDatabase::GetRollbackCount() const {
    return IsOpen() ? m_connection->RollbackCount() : 0;
}

bool CDaoDatabase::InTransaction() const {
    return IsOpen() && m_connection->InTransaction();
}

std::uint64_t CDaoDatabase::GetSchemaChangeCount() const {
    return IsOpen() ? m_connection->SchemaChangeCount() : 0;
}

vaultry::dao::Connection& CDaoDatabase::Connection() const {
    if (m_connection == nullptr) {
        throw CDaoException(JET_ERROR_OBJECT_NOT_OPEN, "DAO.Database", "Object is closed.",
                            AFX_DAO_ERROR_OBJECT_NOT_OPEN);
    }
    return *m_connection;
}
