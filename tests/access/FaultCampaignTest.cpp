// Every change the libraries make, run again and again with the Nth write, sync or read failing
// (an I/O error or a full disk), or with the power going at the Nth write or sync, under the
// write-ahead log and under the rollback journal, for N = 1, 2, ... until the change completes
// untouched. After each run the files, reopened as the next program finds them, pass SQLite's
// integrity test and the library check, hold the libraries as before the change or as after it
// (never half; a move between libraries may also stop with its copy made and the failed removal
// of the original said), and a change reported done is there.
//
// The suite tries a few points spread over each change; VAULTRY_FAULT_POINTS=0 tries every
// point (the full campaign), any other number that many; VAULTRY_FAULT_CHANGES=A,B runs only
// the changes named:
//
//   VAULTRY_FAULT_POINTS=0 build/test/tests/access/access_tests --gtest_filter='*FaultCampaign*'

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <tuple>

#include "access/CMSAccessDBHandler.h"
#include "access/ChangeRefused.h"
#include "access/LibraryChecker.h"
#include "access/LibraryEditor.h"
#include "access/LibrarySet.h"
#include "access/RightsGate.h"
#include "host/BuiltInPlugIns.h"
#include "host/CDrwObList.h"
#include "host/FootprintGenerator.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/FaultInjector.h"
#include "platform/dao/JetText.h"
#include "platform/dao/SqliteConnection.h"
#include "tables/CRSObjectTree.h"
#include "tests/support/LibraryFolder.h"
#include "tests/support/MessageBoxScript.h"

namespace fs = std::filesystem;
using vaultry::dao::FaultInjector;

namespace {

enum class Fault { kWriteError, kDiskFull, kSyncError, kReadError, kPowerLoss };

const char* Name(Fault fault) {
    switch (fault) {
        case Fault::kWriteError:
            return "WriteError";
        case Fault::kDiskFull:
            return "DiskFull";
        case Fault::kSyncError:
            return "SyncError";
        case Fault::kReadError:
            return "ReadError";
        case Fault::kPowerLoss:
            return "PowerLoss";
    }
    return "";
}

constexpr int kStoredParts = 200;
constexpr int kPartsPerCommit = 64;  // SaveObjects commits its parts this many at a time
constexpr int kCopiedParts = 70;     // more than one such batch

CDrwObList* Parts(const char* prefix, int count) {
    auto* list = new CDrwObList;
    for (int i = 0; i < count; ++i) {
        list->Add(
            MakeTwoRowFootprint(CString(prefix) + std::to_string(i).c_str(), "U1", TwoRowPattern{})
                .release());
    }
    return list;
}

// One change; true when it reports itself done.
using Change = std::function<bool(CMSAccessDBHandler& user, CMSAccessDBHandler& corporate)>;

// The whole content of a library file, row by row, for comparing states.
std::string Content(const std::string& path, std::string& integrity) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    vaultry::dao::RegisterJetText(db);
    std::string content;
    const auto append = [](void* out, int columns, char** values, char**) {
        auto& text = *static_cast<std::string*>(out);
        for (int i = 0; i < columns; ++i) {
            text += values[i] ? values[i] : "NULL";
            text += '|';
        }
        text += '\n';
        return 0;
    };
    integrity.clear();
    sqlite3_exec(db, "PRAGMA integrity_check", append, &integrity, nullptr);
    for (const char* table : {"tObjects", "tBlobs", "tObjectTree", "tObjectTypes", "tUserTree",
                              "tObjectTreeCache", "tPartGeometry", "SYS_INFO"}) {
        content += std::string("== ") + table + "\n";
        const std::string sql = std::string("SELECT * FROM ") + table + " ORDER BY rowid";
        sqlite3_exec(db, sql.c_str(), append, &content, nullptr);
    }
    sqlite3_close(db);
    return content;
}

}  // namespace

class FaultCampaignTest : public testing::TestWithParam<std::tuple<bool, Fault>> {
protected:
    static void SetUpTestSuite() { FaultInjector::Install(); }

    void SetUp() override {
        RegisterBuiltInPlugIns();
        boxes.AllowAny();
        vaultry::dao::SqliteConnection::UseRollbackJournalEverywhere(Rollback());
        folder.CreateAll();
        ASSERT_TRUE(AssureDBLoaded());
        CMSAccessDBHandler& user = *GetAccessDB(DATABASETYPE_USER);
        source = user.GetRSObjectTree()->AddChild(1, "Source");
        inner = user.GetRSObjectTree()->AddChild(source, "Inner");
        other = user.GetRSObjectTree()->AddChild(1, "Other");
        std::unique_ptr<CDrwObList> parts(Parts("P", kCopiedParts));
        ASSERT_TRUE(user.SaveObjects(nullptr, parts.get(), source, nullptr, nullptr));
        UnloadDB();
        for (const DATABASETYPE tier : {DATABASETYPE_USER, DATABASETYPE_CORPORATE}) {
            fs::copy_file(folder.PathOf(tier), folder.PathOf(tier) + ".start");
        }
    }

    void TearDown() override {
        FaultInjector::Disarm();
        UnloadDB();
        vaultry::dao::SqliteConnection::UseRollbackJournalEverywhere(false);
    }

    bool Rollback() const { return std::get<0>(GetParam()); }
    Fault Kind() const { return std::get<1>(GetParam()); }

    // The libraries as at the start, opened afresh.
    void Reset() {
        UnloadDB();
        for (const DATABASETYPE tier : {DATABASETYPE_USER, DATABASETYPE_CORPORATE}) {
            const std::string path = folder.PathOf(tier);
            for (const char* leftOver : {"-wal", "-shm", "-journal"}) {
                fs::remove(path + leftOver);
            }
            fs::copy_file(path + ".start", path, fs::copy_options::overwrite_existing);
        }
        ASSERT_TRUE(AssureDBLoaded());
    }

    // Both libraries as the next program finds them; each must pass the integrity test.
    std::string State(const std::string& when) {
        std::string state;
        for (const DATABASETYPE tier : {DATABASETYPE_USER, DATABASETYPE_CORPORATE}) {
            std::string integrity;
            state += Content(folder.PathOf(tier), integrity);
            EXPECT_EQ(integrity, "ok|\n") << when;
        }
        return state;
    }

    void ExpectCheckedClean(const std::string& when) {
        ASSERT_TRUE(AssureDBLoaded()) << when;
        for (const DATABASETYPE tier : {DATABASETYPE_USER, DATABASETYPE_CORPORATE}) {
            const std::vector<std::string> findings = LibraryChecker(*GetAccessDB(tier)).Findings();
            EXPECT_TRUE(findings.empty()) << when << ": " << findings.front();
        }
        UnloadDB();
    }

    // Runs `change` from the start state with the fault at point `nth` (0: none); whether it
    // reported itself done, and whether the fault was met.
    std::pair<bool, bool> RunWithFault(const Change& change, int nth) {
        Reset();
        const auto operation = Kind() == Fault::kReadError   ? FaultInjector::Operation::kRead
                               : Kind() == Fault::kSyncError ? FaultInjector::Operation::kSync
                                                             : FaultInjector::Operation::kWrite;
        const int before = FaultInjector::Count(operation);
        if (nth > 0 && Kind() == Fault::kPowerLoss) {
            FaultInjector::ArmPowerLoss(nth);
        } else if (nth > 0) {
            FaultInjector::Arm(operation, nth,
                               Kind() == Fault::kDiskFull    ? SQLITE_FULL
                               : Kind() == Fault::kReadError ? SQLITE_IOERR_READ
                               : Kind() == Fault::kSyncError ? SQLITE_IOERR_FSYNC
                                                             : SQLITE_IOERR_WRITE);
        }
        bool done = false;
        refusal = kNone;
        try {
            done = change(*GetAccessDB(DATABASETYPE_USER), *GetAccessDB(DATABASETYPE_CORPORATE));
        } catch (const CDaoException&) {
        } catch (const ChangeRefused& refused) {
            refusal = std::string(refused.what()).find("could not be removed") != std::string::npos
                          ? kRemovalFailed
                          : kOther;
        }
        const bool met = Kind() == Fault::kPowerLoss
                             ? FaultInjector::PowerLost()
                             : nth > 0 && FaultInjector::Count(operation) - before >= nth;
        UnloadDB();  // the program ends; after power loss, with nothing more reaching the disk
        if (Kind() == Fault::kPowerLoss) {
            FaultInjector::RestoreAfterPowerLoss();
        }
        FaultInjector::Disarm();
        return {done, met};
    }

    // The campaign for one change: `batched` changes commit kPartsPerCommit parts at a time,
    // so a failure may also leave the batches stored before it. A move between libraries copies
    // first and removes the original once the copy is stored: when the removal fails it says
    // so, and the libraries hold what `copyAlone` makes.
    void Campaign(const char* name, const Change& change, bool batched = false,
                  const Change& copyAlone = {}) {
        const char* only = std::getenv("VAULTRY_FAULT_CHANGES");
        if (only != nullptr &&
            ("," + std::string(only) + ",").find("," + std::string(name) + ",") ==
                std::string::npos) {
            return;
        }
        Reset();
        UnloadDB();
        const std::string before = State("start");
        std::string copied;
        if (copyAlone) {
            ASSERT_TRUE(RunWithFault(copyAlone, 0).first) << name;
            copied = State("copied");
        }
        ASSERT_TRUE(RunWithFault(change, 0).first) << name << " fails without a fault";
        const std::string after = State("after");
        ASSERT_NE(before, after) << name << " changes nothing";
        const int points = PointsToTry();
        int tried = 0;
        for (int nth = 1;; nth += Step(nth, points)) {
            const std::string when =
                std::string(name) + ", " + Name(Kind()) + " at " + std::to_string(nth);
            const auto [done, fired] = RunWithFault(change, nth);
            ++tried;
            const std::string state = State(when);
            if (done) {
                EXPECT_TRUE(state == after) << when << ": reported done, but not there";
            } else if (!batched) {
                EXPECT_TRUE(state == before || state == after ||
                            (copyAlone && state == copied && refusal == kRemovalFailed))
                    << when << ": half done";
            }
            ExpectCheckedClean(when);
            if (!fired) {
                EXPECT_TRUE(done) << when;
                break;
            }
        }
        RecordProperty(std::string(name) + "_points", tried);
    }

    // How many points the campaign tries per change; 0 for all.
    static int PointsToTry() {
        const char* points = std::getenv("VAULTRY_FAULT_POINTS");
        return points != nullptr ? std::atoi(points) : 4;
    }
    // The first points one by one (a change's opening statements), then spread out, so that
    // the last point reached is past the change's end.
    static int Step(int nth, int points) {
        if (points == 0 || nth < points) {
            return 1;
        }
        return nth;  // doubling: 4, 8, 16, ...
    }

    vaultry::test::LibraryFolder folder;
    vaultry::test::MessageBoxScript boxes;
    RightsGate rights;
    long source = 0;
    long inner = 0;
    long other = 0;
    // How the last change was refused.
    enum Refusal { kNone, kRemovalFailed, kOther } refusal = kNone;
};

TEST_P(FaultCampaignTest, StoringReplacingCopyingAndRenamingParts) {
    Campaign(
        "SaveObjects",
        [](CMSAccessDBHandler& user, CMSAccessDBHandler&) {
            std::unique_ptr<CDrwObList> parts(Parts("S", kStoredParts));
            return user.SaveObjects(nullptr, parts.get(), 1, nullptr, nullptr);
        },
        true);
    Campaign("ReplaceObject", [](CMSAccessDBHandler& user, CMSAccessDBHandler&) {
        auto wider = MakeTwoRowFootprint("P0", "U1", TwoRowPattern{14});
        return user.ReplaceObject(nullptr, user.GetObjectID("P0", "Footprint"), wider.get(),
                                  nullptr, nullptr);
    });
    Campaign("CopyObject", [](CMSAccessDBHandler& user, CMSAccessDBHandler& corporate) {
        return corporate.CopyObject(user.GetObjectID("P1", "Footprint"), 1, &user);
    });
    Campaign("RenameObject", [](CMSAccessDBHandler& user, CMSAccessDBHandler&) {
        return user.RenameObject(user.GetObjectID("P2", "Footprint"), "Renamed");
    });
    Campaign("CopyTree", [this](CMSAccessDBHandler& user, CMSAccessDBHandler& corporate) {
        return corporate.CopyTree(source, 1, &user);
    });
    Campaign("UpdateCache", [this](CMSAccessDBHandler& user, CMSAccessDBHandler&) {
        user.CheckForCache();
        return true;
    });
}

TEST_P(FaultCampaignTest, EveryChangeOfTheLibraryEditor) {
    using Edit = std::function<void(LibraryEditor&, CMSAccessDBHandler&)>;
    // An edit of the user library, or of the corporate one taking from the user library.
    const auto edit = [this](const Edit& work) {
        return [this, work](CMSAccessDBHandler& user, CMSAccessDBHandler&) {
            LibraryEditor editor(user, rights);
            work(editor, user);
            return true;
        };
    };
    const auto intoCorporate = [this](const Edit& work) {
        return [this, work](CMSAccessDBHandler& user, CMSAccessDBHandler& corporate) {
            LibraryEditor editor(corporate, rights);
            work(editor, user);
            return true;
        };
    };
    Campaign("MakeCategory", edit([](LibraryEditor& e, auto&) { e.MakeCategory(1, "New"); }));
    Campaign("MakeCategoryPath",
             edit([](LibraryEditor& e, auto&) { e.MakeCategoryPath(1, "A/B/C"); }));
    Campaign("RenameCategory",
             edit([this](LibraryEditor& e, auto&) { e.RenameCategory(other, "Renamed"); }));
    Campaign("MoveCategory",
             edit([this](LibraryEditor& e, auto&) { e.MoveCategory(inner, other); }));
    Campaign("RemoveCategory", edit([this](LibraryEditor& e, auto&) { e.RemoveCategory(source); }));
    Campaign("RenamePart", edit([](LibraryEditor& e, CMSAccessDBHandler& user) {
                 e.RenamePart(user.GetObjectID("P3", "Footprint"), "Renamed");
             }));
    Campaign("MovePart", edit([this](LibraryEditor& e, CMSAccessDBHandler& user) {
                 e.MovePart(user.GetObjectID("P4", "Footprint"), other);
             }));
    Campaign("RemovePart", edit([](LibraryEditor& e, CMSAccessDBHandler& user) {
                 e.RemovePart(user.GetObjectID("P5", "Footprint"));
             }));
    Campaign("SetPassword", edit([](LibraryEditor& e, auto&) { e.SetPassword(0, "secret"); }));
    // A part that could not be stored is told by the count, as callers read it; the others
    // may stay.
    Campaign(
        "StoreParts",
        [this](CMSAccessDBHandler& user, CMSAccessDBHandler&) {
            std::unique_ptr<CDrwObList> parts(Parts("T", 10));
            return LibraryEditor(user, rights).StoreParts(1, *parts, nullptr, nullptr) == 10;
        },
        true);
    Campaign("CopyCategory", intoCorporate([this](LibraryEditor& e, CMSAccessDBHandler& user) {
                 e.CopyCategory(user, source, 1);
             }));
    Campaign("CopyPart", intoCorporate([](LibraryEditor& e, CMSAccessDBHandler& user) {
                 e.CopyPart(user, user.GetObjectID("P6", "Footprint"), 1);
             }));
    Campaign("MovePartFrom", intoCorporate([](LibraryEditor& e, CMSAccessDBHandler& user) {
                 e.MovePartFrom(user, user.GetObjectID("P7", "Footprint"), 1);
             }),
             false, intoCorporate([](LibraryEditor& e, CMSAccessDBHandler& user) {
                 e.CopyPart(user, user.GetObjectID("P7", "Footprint"), 1);
             }));
    Campaign("MoveCategoryFrom", intoCorporate([this](LibraryEditor& e, CMSAccessDBHandler& user) {
                 e.MoveCategoryFrom(user, source, 1);
             }),
             false, intoCorporate([this](LibraryEditor& e, CMSAccessDBHandler& user) {
                 e.CopyCategory(user, source, 1);
             }));
}

INSTANTIATE_TEST_SUITE_P(BothJournals, FaultCampaignTest,
                         testing::Combine(testing::Bool(),
                                          testing::Values(Fault::kWriteError, Fault::kDiskFull,
                                                          Fault::kSyncError, Fault::kReadError,
                                                          Fault::kPowerLoss)),
                         [](const testing::TestParamInfo<std::tuple<bool, Fault>>& param) {
                             return std::string(std::get<0>(param.param) ? "Rollback" : "Wal") +
                                    Name(std::get<1>(param.param));
                         });
