#pragma once
// Makes a group of writes atomic: everything written on the database between construction and
// Commit is kept, or nothing is. Leaving the scope without Commit (an exception, an early
// return) rolls back. Transactions nest; the outermost takes the write lock when it begins,
// so two processes storing at once wait for each other instead of failing midway.
//
// A read transaction instead lets one operation that reads many rows see one state of the
// file and take the read lock once rather than per statement. It must not write.

class CDaoDatabase;

namespace vaultry::dao {

class DaoTransaction {
public:
    // `database` must be open and outlive the transaction. Throws CDaoException (busy, I/O).
    // kSingleRead: a read one statement answers, the rest coming from caches (see
    // Connection::BeginSingleRead).
    enum class Mode { kWrite, kRead, kSingleRead };

    explicit DaoTransaction(CDaoDatabase& database, Mode mode = Mode::kWrite);
    ~DaoTransaction();
    DaoTransaction(const DaoTransaction&) = delete;
    DaoTransaction& operator=(const DaoTransaction&) = delete;

    // Throws CDaoException; the transaction is then rolled back by the destructor.
    void Commit();

private:
    CDaoDatabase& m_database;
    bool m_done = false;
};

}  // namespace vaultry::dao
