// vaultry import-kicad as a user runs it: a .pretty folder becomes a category of its parts,
// damaged files are named with their line while the rest is stored, names already taken are not
// stored twice, and the --json summary counts files, parts and what was approximated.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/apps/VaultryProgram.h"

namespace {

using vaultry::test::VaultryProgram;

class KicadImportTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(program.Run("init").status, 0);
        std::filesystem::create_directory(program.File("Chips.pretty"));
        Write("Chips.pretty/R_0402.kicad_mod", Chip("R_0402", 0.5));
        Write("Chips.pretty/R_0805.kicad_mod", Chip("R_0805", 1.0));
        Write("Chips.pretty/Broken.kicad_mod", "(footprint \"Broken\"\n  (pad \"1\" smd rect");
        Write("Chips.pretty/readme.txt", "not a footprint");
        Write("Chips.pretty/Logo.kicad_mod",
              "(footprint \"Logo\" (fp_circle (center 0 0) (end 1 0) (layer \"F.SilkS\")))");
    }
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(program.File(name)) << text;
    }
    static std::string Chip(const std::string& name, double x) {
        return "(footprint \"" + name + "\"\n  (pad \"1\" smd rect (at -" + std::to_string(x) +
               " 0) (size 0.5 0.6) (layers \"F.Cu\"))\n  (pad \"2\" smd rect (at " +
               std::to_string(x) + " 0) (size 0.5 0.6) (layers \"F.Cu\"))\n  (model \"m.wrl\"))";
    }

    VaultryProgram program;
};

TEST_F(KicadImportTest, AFolderBecomesACategoryAndADamagedFileIsNamedWhileTheRestIsStored) {
    const auto run = program.Run("import-kicad " + program.File("Chips.pretty"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("Broken.kicad_mod:2: a list that starts here is never closed"),
              std::string::npos)
        << run.errors;
    EXPECT_NE(run.output.find("imported 3 footprints of 4 files into User"), std::string::npos);
    EXPECT_NE(run.output.find("2 x 3D model"), std::string::npos);
    // Without pads the libraries take it for a drawing: told, and filed as one.
    EXPECT_NE(run.output.find("1 x footprint without pads, stored as a CAD-Object"),
              std::string::npos)
        << run.output;
    const auto listed = program.Run("ls --category user/Chips");
    EXPECT_NE(listed.output.find("Logo"), std::string::npos);
    EXPECT_NE(listed.output.find("R_0402"), std::string::npos);
    EXPECT_NE(listed.output.find("R_0805"), std::string::npos);
    const auto shown = program.Run("show R_0805");
    EXPECT_NE(shown.output.find("at (1 mm, 0 mm)"), std::string::npos) << shown.output;
    // Each is filed as what it holds, though the drawing came first in the folder.
    EXPECT_NE(shown.output.find("R_0805 (Footprint,"), std::string::npos) << shown.output;
    EXPECT_NE(program.Run("show Logo").output.find("Logo (CAD-Object,"), std::string::npos);
}

TEST_F(KicadImportTest, TakenNamesAreNotStoredTwiceAndTheJsonSummaryCountsEverything) {
    std::filesystem::remove(program.File("Chips.pretty/Broken.kicad_mod"));
    std::filesystem::remove(program.File("Chips.pretty/Logo.kicad_mod"));
    ASSERT_EQ(program.Run("import-kicad --category user " + program.File("Chips.pretty")).status,
              0);
    Write("R_0402.kicad_mod", Chip("R_0402", 0.5));
    Write("R_1206.kicad_mod", Chip("R_1206", 1.5));
    const auto again =
        program.Run("--json import-kicad --tier corporate " + program.File("R_0402.kicad_mod") +
                    " " + program.File("R_1206.kicad_mod"));
    EXPECT_EQ(again.status, 0);  // another library: no clash
    const auto clash = program.Run("--json import-kicad " + program.File("R_0402.kicad_mod"));
    EXPECT_EQ(clash.status, 1);
    EXPECT_NE(clash.output.find(R"("parts":0,"files":1,"failed":["R_0402: a footprint of that)"),
              std::string::npos)
        << clash.output;
    EXPECT_NE(again.output.find(R"("parts":2,"files":2,"failed":[],"approximated":{"3D model":2})"),
              std::string::npos)
        << again.output;
    EXPECT_EQ(program.Run("import-kicad " + program.File("missing.pretty")).status, 1);
}

}  // namespace
