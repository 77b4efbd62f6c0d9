// The land-pattern facts kept per part: written by every way a part is stored (one, many,
// replaced, copied), not read for parts that are gone, rebuilt for a library that was made
// before it kept them, and searched by the libraries themselves.

#include <gtest/gtest.h>

#include "access/LibraryEditor.h"
#include "access/PartGeometryTable.h"
#include "access/PartListing.h"
#include "access/RightsGate.h"
#include "host/BuiltInPlugIns.h"
#include "host/CDrwObList.h"
#include "host/FootprintGenerator.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/CDaoTableDef.h"
#include "platform/dao/DaoTransaction.h"
#include "tests/support/OpenLibraries.h"

namespace {

class PartGeometryTableTest
    : public vaultry::test::OnEngine<vaultry::test::FaultInjectedLibraries> {
protected:
    long Store(CMSAccessDBHandler* library, std::unique_ptr<CDrwGroup> part) {
        const CString name = *part->GetName();
        EXPECT_TRUE(library->SaveObject(nullptr, part.get(), 1, "Footprint", nullptr, nullptr));
        return library->GetObjectID(name, "Footprint");
    }
    static std::unique_ptr<CDrwGroup> Soic(const char* name, int pins) {
        TwoRowPattern pattern;
        pattern.pins = pins;
        return MakeTwoRowFootprint(name, "U1", pattern);
    }
};

INSTANTIATE_TEST_SUITE_P(Engines, PartGeometryTableTest, vaultry::test::kEveryEngine,
                         vaultry::test::EngineName);

TEST_P(PartGeometryTableTest, EveryWayOfStoringAPartWritesItsRow) {
    const long soic = Store(user, Soic("SOIC-8", 8));
    CDrwObList many;
    many.Add(Soic("SOIC-14", 14).release());
    many.Add(MakeQuadFootprint("QFN-16", "U2", QuadPattern{}).release());
    ASSERT_TRUE(user->SaveObjects(nullptr, &many, 1, nullptr, nullptr));
    auto rows = PartGeometryTable(*user).ReadAll();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[soic].padCount, 8);
    EXPECT_EQ(rows[soic].span, Millimetres(5.4));
    EXPECT_EQ(rows[user->GetObjectID("SOIC-14", "Footprint")].padCount, 14);
    EXPECT_EQ(rows[user->GetObjectID("QFN-16", "Footprint")].rowCount, 4);

    // Replaced under its name: the row follows the new pads, and stays one row.
    ASSERT_TRUE(user->ReplaceObject(nullptr, soic, Soic("SOIC-8", 16).get(), nullptr, nullptr));
    rows = PartGeometryTable(*user).ReadAll();
    EXPECT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[soic].padCount, 16);

    // Copied into another library, and removed here: the copy has its row, the original none.
    CMSAccessDBHandler* corporate = GetAccessDB(DATABASETYPE_CORPORATE);
    ASSERT_TRUE(corporate->CopyObject(soic, 1, user));
    EXPECT_EQ(PartGeometryTable(*corporate).ReadAll().begin()->second.padCount, 16);
    RightsGate rights;
    LibraryEditor(*user, rights).RemovePart(soic);
    EXPECT_EQ(PartGeometryTable(*user).ReadAll().count(soic), 0u);
}

TEST_P(PartGeometryTableTest, ALibraryWithoutTheTableIsMeasuredWhenRebuilt) {
    const long soic = Store(user, Soic("SOIC-8", 8));
    user->Execute("DROP TABLE tPartGeometry");  // as a library made before the table
    EXPECT_TRUE(PartGeometryTable(*user).ReadAll().empty());
    {
        // A store made in a transaction that is rolled back takes its new table with it; the
        // next store makes it again.
        vaultry::dao::DaoTransaction undone(*user);
        Store(user, Soic("SOIC-14", 14));
    }
    EXPECT_TRUE(PartGeometryTable(*user).ReadAll().empty());
    const long wide = Store(user, Soic("SOIC-16", 16));
    EXPECT_EQ(PartGeometryTable(*user).ReadAll().at(wide).padCount, 16);
    user->Execute("DROP TABLE tPartGeometry");
    PartQuery any;
    any.geometry = GeometryQuery{};
    EXPECT_TRUE(ListParts(any).empty());  // nothing measured, nothing found; no error
    EXPECT_EQ(PartGeometryTable(*user).Rebuild(), 2);
    const auto rows = PartGeometryTable(*user).ReadAll();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows.at(soic).pitch, Millimetres(1.27));
    EXPECT_TRUE(rows.at(soic).smd);
    // Rebuilt, the table is indexed by part: a second row for a part is refused.
    EXPECT_THROW(user->Execute("INSERT INTO tPartGeometry (lObjectID) VALUES (" +
                               CString(std::to_string(soic).c_str()) + ")"),
                 CDaoException);
}

TEST_P(PartGeometryTableTest, ATableMadeBeforeItWasIndexedIsIndexedByTheNextStore) {
    const long soic = Store(user, Soic("SOIC-8", 8));
    user->Execute("DROP INDEX idxPartGeometryObject");
    ASSERT_TRUE(user->ReplaceObject(nullptr, soic, Soic("SOIC-8", 14).get(), nullptr, nullptr));
    const auto rows = PartGeometryTable(*user).ReadAll();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows.at(soic).padCount, 14);
    EXPECT_THROW(user->Execute("INSERT INTO tPartGeometry (lObjectID) VALUES (" +
                               CString(std::to_string(soic).c_str()) + ")"),
                 CDaoException);
}

TEST_P(PartGeometryTableTest, TheLibrariesPickThePartsOfALandPattern) {
    Store(user, Soic("SOIC-8", 8));
    Store(user, Soic("SOIC-14", 14));
    Store(user, MakeQuadFootprint("QFN-16", "U2", QuadPattern{}));
    GetAccessDB(DATABASETYPE_CORPORATE)
        ->SaveObject(nullptr, Soic("SO-8", 8).get(), 1, "Footprint", nullptr, nullptr);
    const auto names = [](const PartQuery& query) {
        std::vector<std::string> found;
        for (const PartEntry& part : ListParts(query)) {
            found.push_back(part.name.str());
        }
        return found;
    };
    PartQuery query;
    query.geometry = GeometryQuery{};
    query.geometry->pitch = ParseLength("1.27mm");
    EXPECT_EQ(names(query), (std::vector<std::string>{"SOIC-14", "SOIC-8", "SO-8"}));
    query.geometry->pads = 8;
    query.name = "IC";
    EXPECT_EQ(names(query), std::vector<std::string>{"SOIC-8"});
    query.name = "";
    query.geometry->span = ParseLength("5.4mm+-0.001");
    query.tier = DATABASETYPE_CORPORATE;
    EXPECT_EQ(names(query), std::vector<std::string>{"SO-8"});
    EXPECT_EQ(PartGeometryTable(*user).ReadMatching(*query.geometry).size(), 1u);
    query.geometry->smdOnly = true;
    query.geometry->pads = 9;
    EXPECT_TRUE(names(query).empty());
}

}  // namespace
