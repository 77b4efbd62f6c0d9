// Storing many parts and copying a category while the file fails at every write in turn: the
// file stays sound, every part it holds loads intact, and a copy is there whole or not at all.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "host/BuiltInPlugIns.h"
#include "host/CDrwObList.h"
#include "host/FootprintGenerator.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/CDaoRecordset.h"
#include "platform/dao/FaultInjector.h"
#include "platform/dao/JetText.h"
#include "tables/CRSObjectTree.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/OpenLibraries.h"

using vaultry::dao::FaultInjector;

namespace {

constexpr int kParts = 200;
// More parts than one commit batch of SaveObjects, so that a failure can fall between two.
constexpr int kCopiedParts = 70;
// SaveObjects commits its parts this many at a time.
constexpr int kPartsPerCommit = 64;

long CountRows(CMSAccessDBHandler* tier, const char* sql) {
    CDaoRecordset count(tier);
    count.Open(dbOpenSnapshot, sql);
    return static_cast<long>(count.GetFieldValue(0).AsInt64());
}

}  // namespace

class StorageFaultTest : public vaultry::test::FaultInjectedLibraries {
protected:
    CDrwObList* MakeParts(int count = kParts) {
        auto* list = new CDrwObList;
        for (int i = 0; i < count; ++i) {
            list->Add(
                MakeTwoRowFootprint(CString("P") + std::to_string(i).c_str(), "U1", TwoRowPattern{})
                    .release());
        }
        return list;
    }

    // Runs `operation` with the `nth` write failing; true when the failure was met.
    template <class Operation>
    bool WithWriteFailing(int nth, Operation operation) {
        FaultInjector::Arm(FaultInjector::Operation::kWrite, nth, SQLITE_IOERR_WRITE);
        const int before = FaultInjector::Count(FaultInjector::Operation::kWrite);
        operation();
        const bool fired = FaultInjector::Count(FaultInjector::Operation::kWrite) - before >= nth;
        FaultInjector::Disarm();
        return fired;
    }

    // The file is sound and every part in it decodes with its eight pads.
    void ExpectSoundLibrary(CMSAccessDBHandler* tier, const std::string& when) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open_v2(tier->GetName(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        vaultry::dao::RegisterJetText(db);
        sqlite3_stmt* check = nullptr;
        sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr);
        ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
        EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok") << when;
        sqlite3_finalize(check);
        sqlite3_close(db);
        CDaoRecordset ids(tier);
        ids.Open(dbOpenSnapshot, "SELECT lObjectID FROM tObjects");
        for (; !ids.IsEOF(); ids.MoveNext()) {
            CDrwGroup* group = nullptr;
            CLayerDefinition layers;
            CColorDefinition colours;
            EXPECT_GT(
                tier->LoadObject(nullptr, group, static_cast<long>(ids.GetFieldValue(0).AsInt64()),
                                 &layers, &colours),
                0)
                << when;
            ASSERT_NE(group, nullptr) << when;
            EXPECT_EQ(group->Pads().size(), 8u) << when;
            delete group;
        }
    }
};

TEST_F(StorageFaultTest, SaveObjectsLeavesNoHalfWrittenPartAtAnyFailingWrite) {
    vaultry::test::MessageBoxScript boxes;
    boxes.AllowAny();
    int failures = 0;
    long mostKeptAtAFailure = 0;
    for (int nth = 1;; ++nth) {
        user->Execute("DELETE FROM tObjects");
        std::unique_ptr<CDrwObList> parts(MakeParts());
        bool stored = false;
        const bool fired = WithWriteFailing(nth, [&] {
            try {
                stored = user->SaveObjects(nullptr, parts.get(), 1, nullptr, nullptr);
            } catch (const CDaoException& error) {
                EXPECT_EQ(error.m_scode, SQLITE_IOERR_WRITE);  // the failure, as it was
            }
        });
        const std::string when = "write " + std::to_string(nth);
        ExpectSoundLibrary(user, when);
        const long kept = Count("tObjects");
        if (stored) {
            EXPECT_EQ(kept, kParts) << when;  // the failure fell on the file's housekeeping
        } else {
            ++failures;
            // Parts are committed whole batches at a time: what a failure leaves is the batches
            // committed before it.
            EXPECT_EQ(kept % kPartsPerCommit, 0) << when;
            mostKeptAtAFailure = std::max(mostKeptAtAFailure, kept);
        }
        if (!fired) {
            EXPECT_TRUE(stored);
            break;
        }
    }
    EXPECT_GT(failures, 0);
    EXPECT_GT(mostKeptAtAFailure, 0);  // some failures fell after parts had been committed
}

TEST_F(StorageFaultTest, ACopyOfACategoryIsThereWholeOrNotAtAll) {
    CMSAccessDBHandler* corporate = GetAccessDB(DATABASETYPE_CORPORATE);
    const long source = user->GetRSObjectTree()->AddChild(1, "Source");
    user->GetRSObjectTree()->AddChild(source, "Inner");
    std::unique_ptr<CDrwObList> parts(MakeParts(kCopiedParts));
    ASSERT_TRUE(user->SaveObjects(nullptr, parts.get(), source, nullptr, nullptr));
    vaultry::test::MessageBoxScript boxes;
    boxes.AllowAny();
    int failures = 0;
    for (int nth = 1;; ++nth) {
        // Each run starts from an empty corporate library, so the check reads only its copy.
        corporate->Execute("DELETE FROM tObjects");
        corporate->Execute("DELETE FROM tObjectTree WHERE lParentID<>lTreeID");
        bool copied = false;
        const bool fired =
            WithWriteFailing(nth, [&] { copied = corporate->CopyTree(source, 1, user); });
        const std::string when = "write " + std::to_string(nth);
        ExpectSoundLibrary(corporate, when);
        const long categories = CountRows(corporate, "SELECT Count(*) FROM tObjectTree");
        const long partsCopied = CountRows(corporate, "SELECT Count(*) FROM tObjects");
        if (copied) {
            EXPECT_EQ(categories, 3) << when;
            EXPECT_EQ(partsCopied, kCopiedParts) << when;
        } else {
            ++failures;
            EXPECT_EQ(categories, 1) << when;  // the root alone, as before the copy
            EXPECT_EQ(partsCopied, 0) << when;
        }
        if (!fired) {
            EXPECT_TRUE(copied);
            break;
        }
    }
    EXPECT_GT(failures, 0);
}

TEST_F(StorageFaultTest, DatabaseFailuresReachTheCallerOfSaveAndReplace) {
    ASSERT_TRUE(user->SaveObject(nullptr, MakeTwoRowFootprint("U1", "U1", TwoRowPattern{}).get(), 1,
                                 "Footprint", nullptr, nullptr));
    const long id = user->GetObjectID("U1", "Footprint");
    auto replacement = MakeTwoRowFootprint("U1", "U1", TwoRowPattern{14});
    vaultry::test::MessageBoxScript boxes;
    boxes.AllowAny();
    for (const auto& store : std::vector<std::function<bool()>>{
             [&] {
                 return user->SaveObject(nullptr,
                                         MakeTwoRowFootprint("U2", "U1", TwoRowPattern{}).get(), 1,
                                         "Footprint", nullptr, nullptr);
             },
             [&] {
                 return user->ReplaceObject(nullptr, id, replacement.get(), nullptr, nullptr);
             }}) {
        FaultInjector::Arm(FaultInjector::Operation::kWrite, 1, SQLITE_IOERR_WRITE, true);
        EXPECT_THROW(store(), CDaoException);
        FaultInjector::Disarm();
    }
    EXPECT_EQ(Count("tObjects"), 1);
    CDrwGroup* group = nullptr;
    CLayerDefinition layers;
    CColorDefinition colours;
    ASSERT_GT(user->LoadObject(nullptr, group, id, &layers, &colours), 0);
    EXPECT_EQ(group->Pads().size(), 8u);
    delete group;
}
