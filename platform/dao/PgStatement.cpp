#include "platform/dao/PgStatement.h"

#include <array>
#include <charconv>
#include <cstdlib>
#include <cstring>

#include "platform/dao/CDaoException.h"
#include "platform/dao/JetPattern.h"
#include "platform/dao/PgConnection.h"
#include "platform/dao/SqlState.h"

namespace vaultry::dao {
namespace {

// Type ids of the server's built-in types (pg_type.h).
constexpr Oid kBool = 16;
constexpr Oid kBytea = 17;
constexpr Oid kInt8 = 20;
constexpr Oid kInt2 = 21;
constexpr Oid kInt4 = 23;
constexpr Oid kOid = 26;
constexpr Oid kFloat4 = 700;
constexpr Oid kFloat8 = 701;
constexpr Oid kNumeric = 1700;

bool IsInteger(Oid type) {
    return type == kInt8 || type == kInt2 || type == kInt4 || type == kOid;
}

bool StartsWithWord(std::string_view sql, std::string_view word) {
    const std::size_t start = sql.find_first_not_of(" \t\r\n(");
    if (start == std::string_view::npos || sql.size() - start < word.size()) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        if ((sql[start + i] | 0x20) != word[i]) {
            return false;
        }
    }
    return true;
}

std::int64_t ParseInteger(const char* text, int length) {
    std::int64_t value = 0;
    std::from_chars(text, text + length, value);
    return value;
}

// bytea's text form: \x and two hex digits a byte. Blobs are most of what a load reads, so a
// table gives each digit's value rather than a test of its range.
std::vector<BYTE> DecodeHex(const char* text, int length) {
    static constexpr auto kDigit = [] {
        std::array<BYTE, 256> digit{};
        for (int i = 0; i < 10; ++i) {
            digit['0' + i] = static_cast<BYTE>(i);
        }
        for (int i = 0; i < 6; ++i) {
            digit['a' + i] = digit['A' + i] = static_cast<BYTE>(10 + i);
        }
        return digit;
    }();
    if (length < 2 || text[0] != '\\' || text[1] != 'x') {
        return {};
    }
    std::vector<BYTE> bytes(static_cast<std::size_t>(length - 2) / 2);
    const auto* digits = reinterpret_cast<const unsigned char*>(text) + 2;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<BYTE>(kDigit[digits[2 * i]] << 4 | kDigit[digits[2 * i + 1]]);
    }
    return bytes;
}

std::string Text(const COleVariant& value, Oid type) {
    if (type == kBool) {
        return value.AsInt64() != 0 ? "t" : "f";
    }
    if (value.vt == VT_R8) {
        char buffer[32];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, value.AsDouble()).ptr;
        return std::string(buffer, end);
    }
    if (value.IsNumber()) {
        return std::to_string(value.AsInt64());
    }
    if (value.IsText()) {
        return value.AsText().str();
    }
    const auto& bytes = value.AsBytes();
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

}  // namespace

CDaoException PostgresError(PGconn* connection, const PGresult* result) {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    CString message = primary ? primary : PQerrorMessage(connection);
    message.TrimRight();
    // Without a result the connection itself failed: "connection failure".
    return CDaoException(PackSqlState(state ? state : "08006"), kPostgresSource, message);
}

void ThrowPostgresError(PGconn* connection, PGresult* result) {
    CDaoException error = PostgresError(connection, result);
    PQclear(result);
    throw error;
}

PgStatement::PgStatement(PgConnection& connection, std::string name, std::string_view sql)
    : m_connection(connection),
      m_name(std::move(name)),
      m_sql(sql),
      m_readOnly(StartsWithWord(sql, "select") || StartsWithWord(sql, "with")) {
    Prepare();
}

void PgStatement::Prepare() {
    // Schema() first sends what is pending: the tables are known as they are now. A table
    // another program made since they were read is not watched yet: they are read again.
    PgSql converted = ToPostgresSql(m_sql, m_connection.Schema());
    if (!m_connection.SchemaHolds(converted.tables)) {
        converted = ToPostgresSql(m_sql, m_connection.Schema());
    }
    m_parameterKinds = std::move(converted.parameters);
    PGconn* handle = m_connection.Handle();
    PGresult* prepared = PQprepare(handle, m_name.c_str(), converted.sql.c_str(), 0, nullptr);
    if (PQresultStatus(prepared) != PGRES_COMMAND_OK) {
        ThrowPostgresError(handle, prepared);
    }
    PQclear(prepared);
    PGresult* described = PQdescribePrepared(handle, m_name.c_str());
    if (PQresultStatus(described) != PGRES_COMMAND_OK) {
        ThrowPostgresError(handle, described);
    }
    m_parameterTypes.clear();
    m_columnNames.clear();
    m_columnTypes.clear();
    for (int i = 0; i < PQnparams(described); ++i) {
        m_parameterTypes.push_back(PQparamtype(described, i));
    }
    for (int i = 0; i < PQnfields(described); ++i) {
        m_columnNames.emplace_back(PQfname(described, i));
        m_columnTypes.push_back(PQftype(described, i));
    }
    PQclear(described);
    m_values.resize(m_parameterTypes.size());
}

PgStatement::~PgStatement() {
    PQclear(m_result);
    m_connection.Deallocate(m_name);
}

void PgStatement::Bind(int index, const COleVariant& value) {
    if (index < 1 || static_cast<std::size_t>(index) > m_values.size()) {
        throw CDaoException(PackSqlState("08P01"), kPostgresSource,
                            "The statement has no parameter " + CString(std::to_string(index)));
    }
    const auto position = static_cast<std::size_t>(index - 1);
    auto& bound = m_values[position];
    if (value.IsNull()) {
        bound.reset();
    } else if (m_parameterKinds[position] == PgSql::Parameter::kLikePattern) {
        bound = JetPattern(value.AsText().str()).ToRegex();
    } else {
        bound = Text(value, m_parameterTypes[position]);
    }
}

void PgStatement::BindInt64(int index, std::int64_t value) {
    Bind(index, COleVariant(value));
}

void PgStatement::Run() {
    PGconn* handle = m_connection.Handle();
    m_result = RunOnce();
    if (m_result == nullptr) {  // the tables changed under the statement before it ran
        m_connection.Deallocate(m_name);
        Prepare();
        m_result = RunOnce();
    }
    const ExecStatusType status = PQresultStatus(m_result);
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
        PGresult* failed = m_result;
        m_result = nullptr;
        ThrowPostgresError(handle, failed);
    }
    if (!m_readOnly) {  // an insert may return rows, and they count as changed
        const char* rows = PQcmdTuples(m_result);
        if (*rows != '\0') {
            m_connection.CountChanges(std::atol(rows));
        }
    }
    m_row = -1;
}

PGresult* PgStatement::RunOnce() {
    std::vector<const char*> values(m_values.size());
    std::vector<int> lengths(m_values.size());
    std::vector<int> formats(m_values.size());
    for (std::size_t i = 0; i < m_values.size(); ++i) {
        if (m_values[i]) {
            values[i] = m_values[i]->data();
            lengths[i] = static_cast<int>(m_values[i]->size());
            formats[i] = m_parameterTypes[i] == kBytea ? 1 : 0;  // bytes go as they are
        }
    }
    return m_connection.RunPrepared({m_name.c_str(), static_cast<int>(values.size()), values.data(),
                                     lengths.data(), formats.data()});
}

bool PgStatement::Step() {
    if (m_result == nullptr) {
        Run();
    }
    if (PQresultStatus(m_result) != PGRES_TUPLES_OK || m_row + 1 >= PQntuples(m_result)) {
        m_row = PQntuples(m_result);
        return false;
    }
    ++m_row;
    return true;
}

void PgStatement::Reset() {
    PQclear(m_result);
    m_result = nullptr;
    m_row = -1;
    std::fill(m_values.begin(), m_values.end(), std::nullopt);
}

const char* PgStatement::ColumnName(int column) const {
    return m_columnNames.at(static_cast<std::size_t>(column)).c_str();
}

void PgStatement::RequireRow() const {
    if (m_result == nullptr || m_row < 0 || m_row >= PQntuples(m_result)) {
        throw CDaoException(PackSqlState("24000"), kPostgresSource,
                            "The statement stands on no row.");
    }
}

COleVariant PgStatement::Column(int column) const {
    RequireRow();
    if (PQgetisnull(m_result, m_row, column)) {
        return COleVariant::Null();
    }
    const char* text = PQgetvalue(m_result, m_row, column);
    const int length = PQgetlength(m_result, m_row, column);
    const Oid type = m_columnTypes.at(static_cast<std::size_t>(column));
    if (IsInteger(type)) {
        return COleVariant(ParseInteger(text, length));
    }
    if (type == kBool) {
        return COleVariant(static_cast<std::int64_t>(text[0] == 't'));
    }
    if (type == kFloat4 || type == kFloat8) {
        return COleVariant(std::strtod(text, nullptr));
    }
    if (type == kNumeric) {
        const bool whole = std::strpbrk(text, ".eEN") == nullptr;  // N: NaN
        return whole ? COleVariant(ParseInteger(text, length))
                     : COleVariant(std::strtod(text, nullptr));
    }
    if (type == kBytea) {
        return COleVariant(DecodeHex(text, length));
    }
    return COleVariant(CString(std::string_view(text, static_cast<std::size_t>(length))));
}

std::int64_t PgStatement::ColumnInt64(int column) const {
    RequireRow();
    if (!IsInteger(m_columnTypes.at(static_cast<std::size_t>(column)))) {
        return Column(column).AsInt64();
    }
    if (PQgetisnull(m_result, m_row, column)) {
        return 0;
    }
    return ParseInteger(PQgetvalue(m_result, m_row, column), PQgetlength(m_result, m_row, column));
}

}  // namespace vaultry::dao
