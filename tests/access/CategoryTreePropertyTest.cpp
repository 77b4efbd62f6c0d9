// The category trees under long random sequences of changes, as users and drops make them: new,
// rename, move, copy and delete of categories, parts stored, copied and moved, within a library
// and between the user and the corporate one. Whatever was refused, after every step the trees
// stay sound: one top category, no category its own ancestor, each level its depth, no two
// siblings of one name, every part in a category that exists; and the rebuilt ancestor cache
// equals the one computed here from the tree.

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "access/ChangeRefused.h"
#include "access/LibraryEditor.h"
#include "access/LibraryTree.h"
#include "access/RightsGate.h"
#include "host/CDrwObList.h"
#include "host/FootprintGenerator.h"
#include "platform/afx/UnicodeCase.h"
#include "platform/dao/CDaoRecordset.h"
#include "tests/support/OpenLibraries.h"

namespace {

// 10,000 changes in all: four random sequences of 2,500 that the suite runs side by side.
constexpr int kOperations = 2500;
constexpr std::size_t kMostCategories = 30;  // beyond it, changes that grow trees stop
constexpr long kMostParts = 8;
const char* const kNames[] = {"Chips",     "chips",     "SMD",   "THT", "Fine pitch",
                              "Ünterteil", "ünterteil", "Power", "R"};

class CategoryTreePropertyTest : public vaultry::test::FaultInjectedLibraries,
                                 public testing::WithParamInterface<unsigned> {
protected:
    void SetUp() override {
        FaultInjectedLibraries::SetUp();
        libraries = {user, GetAccessDB(DATABASETYPE_CORPORATE)};
    }

    template <typename T>
    T& Pick(std::vector<T>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
    }
    CMSAccessDBHandler* Library() { return Pick(libraries); }
    long AnyCategory(const LibraryTree& tree) {
        const auto& all = tree.All();
        return all[std::uniform_int_distribution<std::size_t>(0, all.size() - 1)(random)].id;
    }
    CString AnyName() {
        std::vector<const char*> names(std::begin(kNames), std::end(kNames));
        return Pick(names);
    }
    long PartCount(CMSAccessDBHandler& library) {
        CDaoRecordset count(&library);
        count.Open(dbOpenSnapshot, "SELECT Count(*) FROM tObjects");
        return static_cast<long>(count.GetFieldValue(0).AsInt64());
    }
    long AnyPart(CMSAccessDBHandler& library) {
        CDaoRecordset parts(&library);
        parts.Open(dbOpenSnapshot, "SELECT lObjectID FROM tObjects");
        std::vector<long> ids;
        for (; !parts.IsEOF(); parts.MoveNext()) {
            ids.push_back(static_cast<long>(parts.GetFieldValue(0).AsInt64()));
        }
        return ids.empty() ? -1 : Pick(ids);
    }

    // One random change; refusals are part of the game.
    void Step(int number) {
        CMSAccessDBHandler& here = *Library();
        CMSAccessDBHandler& there = *Library();
        LibraryEditor editor(here, rights);
        const LibraryTree hereTree(here, LibraryTree::Counts::kNone);
        const LibraryTree thereTree(there, LibraryTree::Counts::kNone);
        const bool full = hereTree.All().size() >= kMostCategories;
        const int kind = std::uniform_int_distribution<int>(0, 8)(random);
        try {
            switch (kind) {
                case 0:
                    if (!full) {
                        editor.MakeCategory(AnyCategory(hereTree), AnyName());
                    }
                    break;
                case 1:
                    editor.RenameCategory(AnyCategory(hereTree), AnyName());
                    break;
                case 2:
                    editor.MoveCategory(AnyCategory(hereTree), AnyCategory(hereTree));
                    break;
                case 3:
                    if (!full) {
                        editor.CopyCategory(there, AnyCategory(thereTree), AnyCategory(hereTree));
                    }
                    break;
                case 4:
                    if (!full) {
                        editor.MoveCategoryFrom(there, AnyCategory(thereTree),
                                                AnyCategory(hereTree));
                    }
                    break;
                case 5:
                case 6:
                    editor.RemoveCategory(AnyCategory(hereTree));
                    break;
                case 7:
                    if (PartCount(here) < kMostParts) {
                        const auto part =
                            MakeChipFootprint(CString("P") + std::to_string(number).c_str(), "R1",
                                              Millimetres(1.6), Millimetres(0.9), Millimetres(1));
                        CDrwObList one(false);
                        one.Add(part.get());
                        editor.StoreParts(AnyCategory(hereTree), one, nullptr, nullptr);
                    }
                    break;
                default:
                    if (const long part = AnyPart(there); part != -1) {
                        PartCount(here) < kMostParts
                            ? editor.CopyPart(there, part, AnyCategory(hereTree))
                            : editor.MovePartFrom(there, part, AnyCategory(hereTree));
                    }
                    break;
            }
        } catch (const ChangeRefused&) {
            ++refused;
        }
        ++kinds[kind];
    }

    // The soundness of one library's tree and of its parts' categories.
    void ExpectSound(CMSAccessDBHandler& library, int after) {
        const LibraryTree tree(library);
        int roots = 0;
        std::map<long, std::vector<std::string>> siblings;
        for (const LibraryCategory& category : tree.All()) {
            roots += category.IsRoot() ? 1 : 0;
            long depth = 0;
            const LibraryCategory* at = &category;
            while (!at->IsRoot() && depth <= static_cast<long>(tree.All().size())) {
                at = tree.Find(at->parent);
                ASSERT_NE(at, nullptr) << "category " << category.id << " after " << after;
                ++depth;
            }
            EXPECT_EQ(category.level, depth) << "category " << category.id << " after " << after;
            if (!category.IsRoot()) {
                for (const std::string& other : siblings[category.parent]) {
                    EXPECT_NE(vaultry::text::CompareFolded(other, category.name.str()), 0)
                        << other << " twice after " << after;
                }
                siblings[category.parent].push_back(category.name.str());
            }
        }
        EXPECT_EQ(roots, 1) << "after " << after;
        CDaoRecordset parts(&library);
        parts.Open(dbOpenSnapshot, "SELECT lObjectTreeID FROM tObjects");
        for (; !parts.IsEOF(); parts.MoveNext()) {
            const long category = static_cast<long>(parts.GetFieldValue(0).AsInt64());
            EXPECT_NE(tree.Find(category), nullptr)
                << "a part in " << category << " after " << after;
        }
    }

    // The rebuilt cache: per category its ancestors from the top down, itself last.
    void ExpectCacheRecomputed(CMSAccessDBHandler& library) {
        library.CheckForCache();
        const LibraryTree tree(library);
        CDaoRecordset cache(&library);
        cache.Open(dbOpenSnapshot, "SELECT * FROM tObjectTreeCache");
        const int levels = cache.GetFieldCount() - 1;
        std::size_t rows = 0;
        for (; !cache.IsEOF(); cache.MoveNext(), ++rows) {
            const long id = static_cast<long>(cache.GetFieldValue("lTreeID").AsInt64());
            const LibraryCategory* category = tree.Find(id);
            ASSERT_NE(category, nullptr);
            ASSERT_LT(category->level, levels);
            for (const LibraryCategory* at = category; at != nullptr;
                 at = at->IsRoot() ? nullptr : tree.Find(at->parent)) {
                EXPECT_EQ(cache.GetFieldValue(static_cast<int>(at->level)).AsInt64(), at->id);
            }
        }
        EXPECT_EQ(rows, tree.All().size());
    }

    std::vector<CMSAccessDBHandler*> libraries;
    std::mt19937 random{GetParam()};
    RightsGate rights;
    int refused = 0;
    std::map<int, int> kinds;
};

TEST_P(CategoryTreePropertyTest, RandomChangesLeaveEveryTreeSound) {
    for (int step = 1; step <= kOperations; ++step) {
        Step(step);
        if (step % 250 == 0 || step == kOperations) {
            for (CMSAccessDBHandler* library : libraries) {
                ExpectSound(*library, step);
            }
            ASSERT_FALSE(HasFailure()) << "sequence " << GetParam() << ", change " << step;
        }
    }
    for (CMSAccessDBHandler* library : libraries) {
        ExpectCacheRecomputed(*library);
    }
    // The sequence did change the trees, and was refused now and then, as users are.
    EXPECT_GT(refused, kOperations / 20);
    EXPECT_LT(refused, kOperations * 9 / 10);
    for (const auto& [kind, count] : kinds) {
        EXPECT_GT(count, kOperations / 20) << "kind " << kind;
    }
}

INSTANTIATE_TEST_SUITE_P(FourSeeds, CategoryTreePropertyTest,
                         testing::Values(20261207u, 1u, 4242u, 99991u));

}  // namespace
