// Finding footprints by land pattern: vaultry find over footprints imported from KiCad files the
// test writes: the terms narrow, surface only, nearest first, narrowed by name, printed for people
// and as JSON.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>

#include "apps/vaultry/Session.h"
#include "tests/apps/VaultryProgram.h"

namespace {

class GeometryFindTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(program.Run("init").status, 0);
        Write("SO-8.kicad_mod", TwoRows("SO-8", 4, 1.27, 5.4, false));
        Write("SO-8W.kicad_mod", TwoRows("SO-8W", 4, 1.27, 5.55, false));
        Write("DIP-8.kicad_mod", TwoRows("DIP-8", 4, 2.54, 7.62, true));
        const auto run =
            program.Run("import-kicad " + program.File("SO-8.kicad_mod") + " " +
                        program.File("SO-8W.kicad_mod") + " " + program.File("DIP-8.kicad_mod"));
        ASSERT_EQ(run.status, 0) << run.output;
    }
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(program.File(name)) << text;
    }
    // Two columns of `perRow` pads, `pitch` apart, the columns `span` apart (millimetres).
    static std::string TwoRows(const std::string& name, int perRow, double pitch, double span,
                               bool holes) {
        std::string text = "(footprint \"" + name + "\"\n";
        int number = 1;
        for (const double x : {-span / 2, span / 2}) {
            for (int i = 0; i < perRow; ++i) {
                text += "  (pad \"" + std::to_string(number++) + "\" " +
                        (holes ? "thru_hole" : "smd") + " rect (at " + std::to_string(x) + " " +
                        std::to_string(i * pitch) + ") (size 1.5 0.6)" +
                        (holes ? " (drill 0.8)" : "") + " (layers \"F.Cu\"))\n";
            }
        }
        return text + ")\n";
    }

    vaultry::test::VaultryProgram program;
};

TEST_F(GeometryFindTest, TheTermsNarrowAndTheNearestComeFirst) {
    const auto pitch = program.Run("find --pads 8 --pitch 1.27mm");
    EXPECT_EQ(pitch.status, 0);
    EXPECT_NE(pitch.output.find("SO-8\tuser\t8 pads\tpitch 1.27 mm\tspan 5.4 mm\t2 rows\tSMD"),
              std::string::npos)
        << pitch.output;
    EXPECT_EQ(pitch.output.find("DIP-8"), std::string::npos);

    const auto span = program.Run("find --span 5.5mm±0.2");
    EXPECT_LT(span.output.find("SO-8W"), span.output.find("SO-8\t"));  // 5.55 is nearer

    const auto holes = program.Run("find --pitch 100mil --unit mil");
    EXPECT_NE(holes.output.find("DIP-8\tuser\t8 pads\tpitch 100 mil\tspan 300 mil\t2 rows\tTHT"),
              std::string::npos)
        << holes.output;
    EXPECT_EQ(program.Run("find --pitch 100mil --smd").output, "");
    EXPECT_EQ(program.Run("find --pads 8 --name W --json").output.find("\"name\":\"SO-8\""),
              std::string::npos);
    EXPECT_EQ(program.Run("find").status, 1);
    EXPECT_EQ(program.Run("find --pitch 1.27cm").status, 1);
}

TEST_F(GeometryFindTest, AlikePatternsAreGroupedAcrossLibrariesWhateverTheirNamesAndTurns) {
    // The SO-8 again, turned a quarter and moved, under another name, in another library.
    std::string turned = "(footprint \"MyChip\"\n";
    int number = 1;
    for (const double y : {-2.7, 2.7}) {
        for (int i = 0; i < 4; ++i) {
            turned += "  (pad \"" + std::to_string(number++) + "\" smd rect (at " +
                      std::to_string(10 + i * 1.27) + " " + std::to_string(y + 5) +
                      ") (size 0.6 1.5) (layers \"F.Cu\"))\n";
        }
    }
    Write("MyChip.kicad_mod", turned + ")\n");
    ASSERT_EQ(
        program.Run("import-kicad --tier corporate " + program.File("MyChip.kicad_mod")).status, 0);
    const auto dupes = program.Run("dupes");
    EXPECT_EQ(dupes.status, 0);
    EXPECT_NE(dupes.output.find("SO-8 (user)\tMyChip (corporate)\n"), std::string::npos);
    // The starter set's chip resistors and capacitors share their land patterns.
    EXPECT_NE(dupes.output.find("C0603 (master)\tR0603 (master)\n"), std::string::npos);
    EXPECT_EQ(program.Run("dupes --tier user").output, "");
    const auto loose = program.Run("dupes --tier user --tolerance 0.2mm");
    EXPECT_EQ(loose.output, "SO-8 (user)\tSO-8W (user)\n");  // 5.55 against 5.4

    // A part whose data is damaged is left out of the comparison, not the end of it.
    const std::string listed = program.Run("--json ls --tier user --name SO-8W").output;
    const std::string id = listed.substr(listed.find("\"id\":") + 5);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(program.Library("user").c_str(), &db), SQLITE_OK);
    const std::string damage =
        "UPDATE tBlobs SET blbBlob=X'0102' WHERE lBlobID=(SELECT lBlobID FROM tObjects WHERE "
        "lObjectID=" +
        std::to_string(std::stol(id)) + ")";
    EXPECT_EQ(sqlite3_exec(db, damage.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    const auto damaged = program.Run("dupes --tier user --tolerance 0.2mm");
    EXPECT_EQ(damaged.status, 0) << damaged.output;
    EXPECT_EQ(damaged.output, "");
}

}  // namespace
