#include "bench/PartListLibrary.h"

#include <stdexcept>

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "bench/RawSqlite.h"
#include "host/CDrwObList.h"

namespace vaultry::bench {

void InsertRows(const std::string& path, const char* sql, int count,
                const std::function<void(sqlite3_stmt*, int)>& bind) {
    sqlite3* db = OpenRaw(path);
    sqlite3_stmt* add = nullptr;
    if (sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db, sql, -1, &add, nullptr) != SQLITE_OK) {
        throw std::runtime_error(sqlite3_errmsg(db));
    }
    for (int i = 0; i < count; ++i) {
        bind(add, i);
        sqlite3_step(add);
        sqlite3_reset(add);
    }
    sqlite3_finalize(add);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

Libraries& ListLibrary() {
    static Libraries libraries;
    static const bool filled = [] {
        CMSAccessDBHandler* user = GetAccessDB(DATABASETYPE_USER);
        CDrwObList one;
        one.Add(Part(0).release());
        user->SaveObjects(nullptr, &one, 1, nullptr, nullptr);
        one.DestroyContent();
        InsertRows(user->GetName().str(),
                   "INSERT INTO tObjects (strObjectName,lUserID,lObjectTreeID,lObjectTypeID,"
                   "lBlobID) SELECT ?,?,1,lObjectTypeID,lBlobID FROM tObjects WHERE lObjectID=1",
                   kListParts - 1, [](sqlite3_stmt* add, int i) {
                       const std::string name = Numbered("R", ((i + 1) * 7919L) % kListParts);
                       sqlite3_bind_text(add, 1, name.c_str(), -1, SQLITE_TRANSIENT);
                       sqlite3_bind_int(add, 2, i % 10);
                   });
        return true;
    }();
    (void)filled;
    libraries.MakeCurrent();
    return libraries;
}

}  // namespace vaultry::bench
