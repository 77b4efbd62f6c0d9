#include "platform/dao/DaoTransaction.h"

#include "platform/dao/CDaoDatabase.h"
#include "platform/dao/Connection.h"

namespace vaultry::dao {

DaoTransaction::DaoTransaction(CDaoDatabase& database, Mode mode) : m_database(database) {
    if (mode == Mode::kSingleRead) {
        m_database.Connection().BeginSingleRead();
    } else {
        m_database.Connection().BeginTransaction(mode == Mode::kWrite);
    }
}

DaoTransaction::~DaoTransaction() {
    if (m_done || !m_database.IsOpen()) {
        return;
    }
    try {
        m_database.Connection().RollbackTransaction();
    } catch (...) {
        // A destructor cannot report; SQLite ends a transaction whose rollback failed when the
        // connection closes, so nothing half-written is ever committed.
    }
}

void DaoTransaction::Commit() {
    m_database.Connection().CommitTransaction();
    m_done = true;
}

}  // namespace vaultry::dao
