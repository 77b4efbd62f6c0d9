#include "access/BatchedTransaction.h"

#include "platform/dao/CDaoDatabase.h"

BatchedTransaction::BatchedTransaction(CDaoDatabase& database, int unitsPerBatch)
    : m_database(database),
      m_unitsPerBatch(unitsPerBatch),
      m_inCallersTransaction(database.InTransaction()) {}

void BatchedTransaction::BeginUnit() {
    if (!m_batch && !m_inCallersTransaction) {
        m_batch.emplace(m_database);
        m_unitsInBatch = 0;
    }
}

bool BatchedTransaction::EndUnit() {
    if (m_inCallersTransaction) {
        return true;
    }
    if (++m_unitsInBatch < m_unitsPerBatch) {
        return false;
    }
    Commit();
    return true;
}

void BatchedTransaction::Commit() {
    if (m_batch) {
        m_batch->Commit();
        m_batch.reset();
    }
}
