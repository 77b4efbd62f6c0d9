#pragma once
// A test seam: makes the Nth file write, file sync or memory allocation that SQLite performs
// fail with a chosen error, so tests can show what each writer leaves behind after a failure.
// Install it before any database is opened; it then sits under every connection.

namespace vaultry::dao {

class FaultInjector {
public:
    enum class Operation { kWrite, kSync, kAllocation };

    // Wraps SQLite's default file system and allocator. Idempotent; needs no open connection.
    static void Install();
    // The `nth` such operation from now on (1 is the next) fails with `errorCode` (an SQLite
    // result code, ignored for allocations); with `persistent`, every one after it fails too.
    static void Arm(Operation operation, int nth, int errorCode, bool persistent = false);
    // Stops every armed failure.
    static void Disarm();
    // How many operations of that kind ran since Install (failed ones included).
    static int Count(Operation operation);
};

}  // namespace vaultry::dao
