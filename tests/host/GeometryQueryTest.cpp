// Land-pattern searches as typed: lengths with units and tolerances, the terms' narrowing and
// nearness, and the terms a name field takes among the words of a name.

#include <gtest/gtest.h>

#include "host/GeometryQuery.h"

namespace {

TEST(GeometryQueryTest, LengthsTakeTheirUnitAndTolerance) {
    EXPECT_EQ(ParseLength("1.27mm").value, 1270000);
    EXPECT_EQ(ParseLength("1.27mm").tolerance, 10000);
    EXPECT_EQ(ParseLength("1.27").value, 1270000);
    EXPECT_EQ(ParseLength("50mil").value, 1270000);
    EXPECT_EQ(ParseLength("0.05in+-0.002").tolerance, 50800);
    EXPECT_EQ(ParseLength("5.4mm±0.2").value, 5400000);
    EXPECT_EQ(ParseLength("5.4mm±0.2mm").tolerance, 200000);
    for (const char* bad : {"abc", "5.4cm", "-1mm", "5.4mm±0.2mil", "5.4mm±", "", "1e12mm"}) {
        EXPECT_THROW(ParseLength(bad), GeometryQueryError) << bad;
    }
}

TEST(GeometryQueryTest, EachTermNarrowsAndNearnessCountsInTolerances) {
    GeometryQuery query;
    query.pads = 8;
    query.span = ParseLength("5.4mm±0.2");
    PartGeometry soic{8, 1270000, 2, 5400000, 0, 0, true};
    PartGeometry wide{8, 1270000, 2, 5550000, 0, 0, false};
    EXPECT_TRUE(query.Matches(soic));
    EXPECT_TRUE(query.Matches(wide));
    EXPECT_LT(query.Distance(soic), query.Distance(wide));
    query.smdOnly = true;
    EXPECT_FALSE(query.Matches(wide));
    query.pads = 14;
    EXPECT_FALSE(query.Matches(soic));
    EXPECT_TRUE(GeometryQuery{}.Empty());
}

TEST(GeometryQueryTest, ANameFieldTakesTermsAmongTheWordsOfTheName) {
    const NameAndGeometry both = SplitGeometryTerms("SOIC pads:8  pitch:1.27 smd:yes wide");
    EXPECT_EQ(both.name, "SOIC wide");
    EXPECT_EQ(both.geometry.pads, 8);
    EXPECT_EQ(both.geometry.pitch->value, 1270000);
    EXPECT_TRUE(both.geometry.smdOnly);
    // Without a term the text is the name, its spaces and all.
    EXPECT_EQ(SplitGeometryTerms(" SO  8 ").name, " SO  8 ");
    EXPECT_TRUE(SplitGeometryTerms("x:y").geometry.Empty());
    // Half typed: a term narrows nothing yet and is no part of the name either.
    for (const char* typing : {"pitch:", "pitch:1.2x", "pads:8a", "span:-1", "pads:"}) {
        const NameAndGeometry typed = SplitGeometryTerms(typing);
        EXPECT_TRUE(typed.geometry.Empty()) << typing;
        EXPECT_EQ(typed.name, "") << typing;
    }
}

}  // namespace
