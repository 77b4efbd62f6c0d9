#include "platform/dao/FaultInjector.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace vaultry::dao {
namespace {

struct Trigger {
    std::atomic<int> seen{0};
    std::atomic<int> failAt{0};  // 0: not armed
    std::atomic<int> errorCode{SQLITE_IOERR};
    std::atomic<bool> persistent{false};

    // Counts one operation; true when it is to fail.
    bool Fires() {
        const int n = ++seen;
        const int at = failAt.load();
        return at > 0 && (n == at || (persistent && n > at));
    }
};

Trigger g_triggers[4];
Trigger& TriggerFor(FaultInjector::Operation operation) {
    return g_triggers[static_cast<int>(operation)];
}

sqlite3_vfs* g_realVfs = nullptr;
sqlite3_vfs g_faultVfs;
sqlite3_mem_methods g_realMemory;
sqlite3_mem_methods g_faultMemory;

struct FaultFile {
    sqlite3_file base;
    sqlite3_file* real;  // lives right after this struct, in the same allocation
    const char* name;    // SQLite keeps it until the file closes; null for temporary files
};

sqlite3_file* Real(sqlite3_file* file) {
    return reinterpret_cast<FaultFile*>(file)->real;
}

// What a file held at its last sync, for the writes since: their old bytes, newest last.
struct FileHistory {
    sqlite3_int64 syncedSize = 0;
    std::vector<std::pair<sqlite3_int64, std::string>> overwritten;
};

// Power loss: writes and syncs are counted from arming; at the chosen one the power goes.
struct PowerState {
    std::mutex mutex;
    int events = 0;
    int failAt = 0;  // 0: not armed
    bool lost = false;
    std::map<std::string, FileHistory> histories;  // by path, while armed
};

PowerState& Power() {
    static PowerState power;
    return power;
}

// True when the power is gone, counting this write or sync; the caller then fails it.
bool PowerGoes() {
    PowerState& power = Power();
    std::lock_guard lock(power.mutex);
    if (power.failAt == 0) {
        return false;
    }
    power.lost = power.lost || ++power.events >= power.failAt;
    return power.lost;
}

bool PowerIsOff() {
    std::lock_guard lock(Power().mutex);
    return Power().lost;
}

// Keeps the bytes [offset, end) of `file` hold now, and its size at its last sync.
void RememberBefore(sqlite3_file* file, sqlite3_int64 offset, sqlite3_int64 end) {
    PowerState& power = Power();
    const char* name = reinterpret_cast<FaultFile*>(file)->name;
    std::lock_guard lock(power.mutex);
    if (power.failAt == 0 || name == nullptr) {
        return;
    }
    sqlite3_int64 size = 0;
    Real(file)->pMethods->xFileSize(Real(file), &size);
    auto [history, first] = power.histories.try_emplace(name);
    if (first) {
        history->second.syncedSize = size;
    }
    end = std::min(end, size);
    if (offset < end) {
        std::string bytes(static_cast<std::size_t>(end - offset), '\0');
        Real(file)->pMethods->xRead(Real(file), bytes.data(), static_cast<int>(bytes.size()),
                                    offset);
        history->second.overwritten.emplace_back(offset, std::move(bytes));
    }
}

void ForgetHistory(const char* name) {
    PowerState& power = Power();
    std::lock_guard lock(power.mutex);
    if (name != nullptr) {
        power.histories.erase(name);
    }
}

int FaultWrite(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
    Trigger& trigger = TriggerFor(FaultInjector::Operation::kWrite);
    if (trigger.Fires()) {
        return trigger.errorCode.load();
    }
    if (PowerGoes()) {
        return SQLITE_IOERR_WRITE;
    }
    RememberBefore(file, offset, offset + amount);
    return Real(file)->pMethods->xWrite(Real(file), data, amount, offset);
}

int FaultSync(sqlite3_file* file, int flags) {
    Trigger& trigger = TriggerFor(FaultInjector::Operation::kSync);
    if (trigger.Fires()) {
        return trigger.errorCode.load();
    }
    if (PowerGoes()) {
        return SQLITE_IOERR_FSYNC;
    }
    const int rc = Real(file)->pMethods->xSync(Real(file), flags);
    if (rc == SQLITE_OK) {
        ForgetHistory(reinterpret_cast<FaultFile*>(file)->name);  // on the disk for good
    }
    return rc;
}

int FaultClose(sqlite3_file* file) {
    return Real(file)->pMethods->xClose(Real(file));
}
int FaultRead(sqlite3_file* f, void* d, int n, sqlite3_int64 o) {
    Trigger& trigger = TriggerFor(FaultInjector::Operation::kRead);
    if (trigger.Fires()) {
        return trigger.errorCode.load();
    }
    return Real(f)->pMethods->xRead(Real(f), d, n, o);
}
int FaultTruncate(sqlite3_file* f, sqlite3_int64 size) {
    if (PowerIsOff()) {
        return SQLITE_IOERR_TRUNCATE;
    }
    RememberBefore(f, size, INT64_MAX);
    return Real(f)->pMethods->xTruncate(Real(f), size);
}
int FaultFileSize(sqlite3_file* f, sqlite3_int64* size) {
    return Real(f)->pMethods->xFileSize(Real(f), size);
}
int FaultLock(sqlite3_file* f, int level) {
    return Real(f)->pMethods->xLock(Real(f), level);
}
int FaultUnlock(sqlite3_file* f, int level) {
    return Real(f)->pMethods->xUnlock(Real(f), level);
}
int FaultCheckReservedLock(sqlite3_file* f, int* out) {
    return Real(f)->pMethods->xCheckReservedLock(Real(f), out);
}
int FaultFileControl(sqlite3_file* f, int op, void* arg) {
    return Real(f)->pMethods->xFileControl(Real(f), op, arg);
}
int FaultSectorSize(sqlite3_file* f) {
    return Real(f)->pMethods->xSectorSize(Real(f));
}
int FaultDeviceCharacteristics(sqlite3_file* f) {
    return Real(f)->pMethods->xDeviceCharacteristics(Real(f));
}
int FaultShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out) {
    return Real(f)->pMethods->xShmMap(Real(f), page, size, extend, out);
}
int FaultShmLock(sqlite3_file* f, int offset, int n, int flags) {
    return Real(f)->pMethods->xShmLock(Real(f), offset, n, flags);
}
void FaultShmBarrier(sqlite3_file* f) {
    Real(f)->pMethods->xShmBarrier(Real(f));
}
int FaultShmUnmap(sqlite3_file* f, int deleteFlag) {
    return Real(f)->pMethods->xShmUnmap(Real(f), deleteFlag);
}
int FaultFetch(sqlite3_file* f, sqlite3_int64 offset, int amount, void** out) {
    return Real(f)->pMethods->xFetch(Real(f), offset, amount, out);
}
int FaultUnfetch(sqlite3_file* f, sqlite3_int64 offset, void* page) {
    return Real(f)->pMethods->xUnfetch(Real(f), offset, page);
}

const sqlite3_io_methods kFaultIo = {
    3,
    FaultClose,
    FaultRead,
    FaultWrite,
    FaultTruncate,
    FaultSync,
    FaultFileSize,
    FaultLock,
    FaultUnlock,
    FaultCheckReservedLock,
    FaultFileControl,
    FaultSectorSize,
    FaultDeviceCharacteristics,
    FaultShmMap,
    FaultShmLock,
    FaultShmBarrier,
    FaultShmUnmap,
    FaultFetch,
    FaultUnfetch,
};

int FaultOpen(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    auto* wrapper = reinterpret_cast<FaultFile*>(file);
    wrapper->real = reinterpret_cast<sqlite3_file*>(wrapper + 1);
    wrapper->name = name;
    const int rc = g_realVfs->xOpen(g_realVfs, name, wrapper->real, flags, outFlags);
    // SQLite calls xClose only when pMethods is set, so it must stay null if the open failed.
    wrapper->base.pMethods = wrapper->real->pMethods ? &kFaultIo : nullptr;
    return rc;
}

// A deletion reaches the disk at once (the journal's end commits a transaction); a stopped
// machine deletes nothing.
int FaultDelete(sqlite3_vfs*, const char* name, int syncDirectory) {
    if (PowerIsOff()) {
        return SQLITE_IOERR_DELETE;
    }
    ForgetHistory(name);
    return g_realVfs->xDelete(g_realVfs, name, syncDirectory);
}

void* FaultMalloc(int size) {
    return TriggerFor(FaultInjector::Operation::kAllocation).Fires() ? nullptr
                                                                     : g_realMemory.xMalloc(size);
}

void* FaultRealloc(void* memory, int size) {
    return TriggerFor(FaultInjector::Operation::kAllocation).Fires()
               ? nullptr
               : g_realMemory.xRealloc(memory, size);
}

void Check(int rc, const char* what) {
    if (rc != SQLITE_OK) {
        throw std::runtime_error(what);
    }
}

}  // namespace

void FaultInjector::Install() {
    if (g_realVfs != nullptr) {
        return;
    }
    // The allocator can only be replaced while SQLite is shut down.
    Check(sqlite3_shutdown(), "sqlite3_shutdown");
    Check(sqlite3_config(SQLITE_CONFIG_GETMALLOC, &g_realMemory), "SQLITE_CONFIG_GETMALLOC");
    g_faultMemory = g_realMemory;
    g_faultMemory.xMalloc = FaultMalloc;
    g_faultMemory.xRealloc = FaultRealloc;
    Check(sqlite3_config(SQLITE_CONFIG_MALLOC, &g_faultMemory), "SQLITE_CONFIG_MALLOC");
    Check(sqlite3_initialize(), "sqlite3_initialize");

    g_realVfs = sqlite3_vfs_find(nullptr);
    g_faultVfs = *g_realVfs;
    g_faultVfs.zName = "vaultry-faults";
    g_faultVfs.szOsFile = static_cast<int>(sizeof(FaultFile)) + g_realVfs->szOsFile;
    g_faultVfs.xOpen = FaultOpen;
    g_faultVfs.xDelete = FaultDelete;
    g_faultVfs.pNext = nullptr;
    Check(sqlite3_vfs_register(&g_faultVfs, 1), "sqlite3_vfs_register");
}

void FaultInjector::Arm(Operation operation, int nth, int errorCode, bool persistent) {
    Trigger& trigger = TriggerFor(operation);
    trigger.errorCode = errorCode;
    trigger.persistent = persistent;
    trigger.failAt = trigger.seen.load() + nth;
}

void FaultInjector::Disarm() {
    for (Trigger& trigger : g_triggers) {
        trigger.failAt = 0;
        trigger.persistent = false;
    }
    PowerState& power = Power();
    std::lock_guard lock(power.mutex);
    power.failAt = 0;
    power.lost = false;
    power.histories.clear();
}

int FaultInjector::Count(Operation operation) {
    return TriggerFor(operation).seen.load();
}

void FaultInjector::ArmPowerLoss(int nth) {
    PowerState& power = Power();
    std::lock_guard lock(power.mutex);
    power.events = 0;
    power.failAt = nth;
    power.lost = false;
    power.histories.clear();
}

bool FaultInjector::PowerLost() {
    return PowerIsOff();
}

void FaultInjector::RestoreAfterPowerLoss() {
    PowerState& power = Power();
    std::lock_guard lock(power.mutex);
    for (const auto& [path, history] : power.histories) {
        const int fd = ::open(path.c_str(), O_RDWR);
        if (fd < 0) {
            continue;  // deleted since
        }
        for (auto undo = history.overwritten.rbegin(); undo != history.overwritten.rend(); ++undo) {
            if (::pwrite(fd, undo->second.data(), undo->second.size(), undo->first) < 0) {
                throw std::runtime_error("cannot restore " + path);
            }
        }
        if (::ftruncate(fd, history.syncedSize) != 0) {
            throw std::runtime_error("cannot restore the size of " + path);
        }
        ::close(fd);
    }
    power.histories.clear();
    power.failAt = 0;
    power.events = 0;
    power.lost = false;
}

}  // namespace vaultry::dao
