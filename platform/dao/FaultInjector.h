#pragma once
// A test seam: makes the Nth file write, file sync, file read or memory allocation that SQLite
// performs fail with a chosen error, so tests can show what each writer leaves behind after a
// failure; and simulates power loss: from the Nth write or sync on, nothing reaches the disk,
// and once the program's connections are closed the files are put back as they were at their
// last sync, every write not yet synced dropped. Install it before any database is opened; it
// then sits under every connection.

namespace vaultry::dao {

class FaultInjector {
public:
    enum class Operation { kWrite, kSync, kAllocation, kRead };

    // Wraps SQLite's default file system and allocator. Idempotent; needs no open connection.
    static void Install();
    // The `nth` such operation from now on (1 is the next) fails with `errorCode` (an SQLite
    // result code, ignored for allocations); with `persistent`, every one after it fails too.
    static void Arm(Operation operation, int nth, int errorCode, bool persistent = false);
    // Stops every armed failure.
    static void Disarm();

    // Power goes at the `nth` write or sync from now on: that one and every later one fails
    // with an I/O error, as the program would see a machine that stopped. True once it went.
    static void ArmPowerLoss(int nth);
    static bool PowerLost();
    // After the connections are closed: every file written since its last sync gets back the
    // bytes and the size it had then, as the disk holds them after the power comes back. Then
    // the power is on again and nothing is armed.
    static void RestoreAfterPowerLoss();
    // How many operations of that kind ran since Install (failed ones included).
    static int Count(Operation operation);
};

}  // namespace vaultry::dao
