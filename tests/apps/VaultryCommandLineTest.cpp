// The vaultry program as a user or a script runs it: exit status, output and the files it
// leaves.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/apps/VaultryProgram.h"

namespace {

using vaultry::test::ProgramRun;

class VaultryCommandLineTest : public testing::Test {
protected:
    ProgramRun Vaultry(const std::string& arguments) { return program.Run(arguments); }

    vaultry::test::VaultryProgram program;
};

TEST_F(VaultryCommandLineTest, InitMakesTheMissingLibrariesOnce) {
    const ProgramRun first = Vaultry("init");
    EXPECT_EQ(first.status, 0) << first.output;
    EXPECT_NE(first.output.find("created " + program.File("data/vaultry/master.zblib")),
              std::string::npos);
    EXPECT_NE(first.output.find("stored 40 starter footprints in the master library"),
              std::string::npos);
    EXPECT_NE(first.output.find("tObjects: 40 rows"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(program.File("config/vaultry/registry.reg")));

    const ProgramRun second = Vaultry("init");
    EXPECT_EQ(second.status, 0) << second.output;
    EXPECT_EQ(second.output.find("created"), std::string::npos);
    EXPECT_EQ(second.output.find("starter"), std::string::npos);
    EXPECT_NE(second.output.find("generation: 8"), std::string::npos);
}

TEST_F(VaultryCommandLineTest, CreateAndInfoReportEveryOutcome) {
    const std::string old = program.File("old.zblib");
    EXPECT_EQ(Vaultry("create " + old + " --tier corporate --generation 7").status, 0);
    const ProgramRun info = Vaultry("info " + old);
    EXPECT_EQ(info.status, 0);
    EXPECT_NE(info.output.find("generation: 7"), std::string::npos);

    const ProgramRun again = Vaultry("create " + old);
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.output.find("Database already exists."), std::string::npos);

    std::ofstream(program.File("notes.zblib")) << std::string(300, 'n');
    const ProgramRun bad = Vaultry("info " + program.File("notes.zblib"));
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.output, "vaultry: " + program.File("notes.zblib") + ": file is not a database\n");

    EXPECT_EQ(Vaultry("create " + program.File("x.zblib") + " --tier basement").status, 2);
    EXPECT_EQ(Vaultry("").status, 2);
    EXPECT_EQ(Vaultry("info --help").status, 0);
}

TEST_F(VaultryCommandLineTest, AMistypedCommandAndAnIdBeyondAnyAreSaidAsSuch) {
    ASSERT_EQ(Vaultry("init").status, 0);
    const ProgramRun unknown = Vaultry("frobnicate");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.errors,
              "vaultry: unknown command \"frobnicate\"; vaultry --help lists the commands\n");
    EXPECT_EQ(Vaultry("").status, 2);  // no command at all: CLI11's own words
    EXPECT_EQ(Vaultry("show 99999999999999999999 --tier user").errors,
              "vaultry: no part 99999999999999999999 in the user library\n");
    EXPECT_EQ(Vaultry("ls --category 99999999999 --tier master").errors,
              "vaultry: no category 99999999999 in the master library\n");
}

TEST_F(VaultryCommandLineTest, AnUnknownTypeOrAMissingSettingsFileIsAnError) {
    ASSERT_EQ(Vaultry("init").status, 0);
    const ProgramRun bogus = Vaultry("ls --type 'Footprint|Bogus'");
    EXPECT_EQ(bogus.status, 2);
    EXPECT_NE(bogus.errors.find("no document type \"Bogus\"; the types are"), std::string::npos)
        << bogus.errors;
    EXPECT_EQ(Vaultry("ls --type 'footprint|Pad-Stack'").status, 0);  // case ignored
    EXPECT_EQ(
        Vaultry("export --category master/ICs --type Bogus -o " + program.File("x.xml")).status, 2);
    EXPECT_FALSE(std::filesystem::exists(program.File("x.xml")));
    const ProgramRun missing = Vaultry("--config " + program.File("no-such.ini") + " tree");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.errors.find("no-such.ini does not exist"), std::string::npos);
}

TEST_F(VaultryCommandLineTest, AMalformedSettingsFileIsAClearError) {
    std::ofstream(program.File("bad.ini")) << "[libraries]\nmaster\n";
    const ProgramRun run = Vaultry("--config " + program.File("bad.ini") + " init");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("bad.ini:2: expected key = value"), std::string::npos) << run.output;
}

}  // namespace
