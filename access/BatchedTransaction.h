#pragma once
// Commits a long run of units (parts stored one after another) a batch at a time. Each unit is
// still written whole or not at all, in a nested transaction of its own, but the file is synced
// once per batch instead of once per unit. A failure loses the open batch only: what it leaves
// is the batches committed before it. Inside a transaction of the caller's there is nothing to
// sync, and that transaction decides what stays: the units are then written straight into it,
// as a nested batch would make SQLite copy every page each unit changes once more, into a
// statement journal that outgrows memory.

#include <optional>

#include "platform/dao/DaoTransaction.h"

class CDaoDatabase;

class BatchedTransaction {
public:
    // `database` (not owned) must stay open while this lives. Batches are opened only when no
    // transaction is open on it now.
    BatchedTransaction(CDaoDatabase& database, int unitsPerBatch);

    // Opens a batch when none is open. Throws CDaoException.
    void BeginUnit();
    // Counts a unit done and commits the batch once it is full; true when it committed (always,
    // in the caller's transaction). Throws CDaoException.
    bool EndUnit();
    // Commits the batch that is open, if any. Throws CDaoException.
    void Commit();

private:
    CDaoDatabase& m_database;
    const int m_unitsPerBatch;
    const bool m_inCallersTransaction;
    int m_unitsInBatch = 0;
    std::optional<vaultry::dao::DaoTransaction> m_batch;  // rolled back when left open
};
