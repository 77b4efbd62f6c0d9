#include "bench/RawSqlite.h"

#include <stdexcept>

#include "platform/dao/JetText.h"

namespace vaultry::bench {

sqlite3* OpenRaw(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    vaultry::dao::RegisterJetText(db);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    return db;
}

void CreateMeasurementTable(sqlite3* db) {
    sqlite3_exec(db,
                 "CREATE TABLE IF NOT EXISTS tPartGeometry (lObjectID INTEGER NOT NULL, lPadCount "
                 "INTEGER, lPitch INTEGER, lRowCount INTEGER, lSpan INTEGER, lBodyWidth INTEGER, "
                 "lBodyHeight INTEGER, bSmd INTEGER);"
                 "CREATE UNIQUE INDEX IF NOT EXISTS idxPartGeometryObject ON tPartGeometry "
                 "(lObjectID)",
                 nullptr, nullptr, nullptr);
}

RawStatements::~RawStatements() {
    for (auto& [sql, statement] : m_prepared) {
        sqlite3_finalize(statement);
    }
}

std::int64_t RawStatements::Run(const std::string& sql, const std::vector<Value>& values) {
    sqlite3_stmt*& statement = m_prepared[sql];
    if (statement == nullptr &&
        sqlite3_prepare_v2(m_db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        throw std::runtime_error(sql + ": " + sqlite3_errmsg(m_db));
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int index = static_cast<int>(i + 1);
        if (const auto* number = std::get_if<std::int64_t>(&values[i])) {
            sqlite3_bind_int64(statement, index, *number);
        } else if (const auto* text = std::get_if<std::string>(&values[i])) {
            sqlite3_bind_text(statement, index, text->c_str(), static_cast<int>(text->size()),
                              SQLITE_TRANSIENT);
        } else {
            const Bytes& bytes = std::get<Bytes>(values[i]);
            sqlite3_bind_blob(statement, index, bytes.data(), static_cast<int>(bytes.size()),
                              SQLITE_TRANSIENT);
        }
    }
    std::int64_t first = 0;
    bool firstRow = true;
    m_lastColumn.clear();
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            const auto* bytes =
                static_cast<const unsigned char*>(sqlite3_column_blob(statement, c));
            m_bytes.assign(bytes, bytes + sqlite3_column_bytes(statement, c));
        }
        if (firstRow) {
            first = sqlite3_column_int64(statement, 0);
            m_lastColumn = m_bytes;
            firstRow = false;
        }
    }
    sqlite3_reset(statement);
    if (rc != SQLITE_DONE) {
        throw std::runtime_error(sql + ": " + sqlite3_errmsg(m_db));
    }
    return first;
}

}  // namespace vaultry::bench
