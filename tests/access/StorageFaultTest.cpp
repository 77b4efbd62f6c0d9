// Storing many parts and copying a category while the file fails at every write in turn: the
// file stays sound and every part it holds loads intact.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>

#include "host/BuiltInPlugIns.h"
#include "host/CDrwObList.h"
#include "host/FootprintGenerator.h"
#include "platform/dao/CDaoRecordset.h"
#include "platform/dao/FaultInjector.h"
#include "platform/dao/JetText.h"
#include "tables/CRSObjectTree.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/OpenLibraries.h"

using vaultry::dao::FaultInjector;

namespace {

constexpr int kParts = 200;
// More than one batch of a copy's commits, so that a failure can fall between two batches.
constexpr int kCopiedParts = 70;

}  // namespace

class StorageFaultTest : public vaultry::test::OpenLibraries {
protected:
    static void SetUpTestSuite() { FaultInjector::Install(); }
    void SetUp() override {
        RegisterBuiltInPlugIns();
        OpenLibraries::SetUp();
    }
    void TearDown() override { FaultInjector::Disarm(); }

    CDrwObList* MakeParts(int count = kParts) {
        auto* list = new CDrwObList;
        for (int i = 0; i < count; ++i) {
            list->Add(
                MakeTwoRowFootprint(CString("P") + std::to_string(i).c_str(), "U1", TwoRowPattern{})
                    .release());
        }
        return list;
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
    for (int nth = 1;; ++nth) {
        user->Execute("DELETE FROM tObjects");
        std::unique_ptr<CDrwObList> parts(MakeParts());
        FaultInjector::Arm(FaultInjector::Operation::kWrite, nth, SQLITE_IOERR_WRITE);
        const int before = FaultInjector::Count(FaultInjector::Operation::kWrite);
        const bool stored = user->SaveObjects(nullptr, parts.get(), 1, nullptr, nullptr);
        const bool fired = FaultInjector::Count(FaultInjector::Operation::kWrite) - before >= nth;
        FaultInjector::Disarm();
        ExpectSoundLibrary(user, "write " + std::to_string(nth));
        if (!fired) {
            EXPECT_TRUE(stored);
            break;
        }
    }
}

TEST_F(StorageFaultTest, CopyTreeLeavesNoHalfWrittenPartAtAnyFailingWrite) {
    CMSAccessDBHandler* corporate = GetAccessDB(DATABASETYPE_CORPORATE);
    const long source = user->GetRSObjectTree()->AddChild(1, "Source");
    std::unique_ptr<CDrwObList> parts(MakeParts(kCopiedParts));
    ASSERT_TRUE(user->SaveObjects(nullptr, parts.get(), source, nullptr, nullptr));
    vaultry::test::MessageBoxScript boxes;
    boxes.AllowAny();
    for (int nth = 1;; ++nth) {
        // Each run starts from an empty corporate library, so the check reads only its copy.
        corporate->Execute("DELETE FROM tObjects");
        corporate->Execute("DELETE FROM tObjectTree WHERE lParentID<>lTreeID");
        FaultInjector::Arm(FaultInjector::Operation::kWrite, nth, SQLITE_IOERR_WRITE);
        const int before = FaultInjector::Count(FaultInjector::Operation::kWrite);
        corporate->CopyTree(source, 1, user);
        const bool fired = FaultInjector::Count(FaultInjector::Operation::kWrite) - before >= nth;
        FaultInjector::Disarm();
        ExpectSoundLibrary(corporate, "write " + std::to_string(nth));
        if (!fired) {
            break;
        }
    }
}
