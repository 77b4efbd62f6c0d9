#include "bench/RawSqlite.h"

#include "platform/dao/JetText.h"

namespace vaultry::bench {

sqlite3* OpenRaw(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    vaultry::dao::RegisterJetText(db);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    return db;
}

}  // namespace vaultry::bench
