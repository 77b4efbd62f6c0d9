// The vaultry program as a user or a script runs it: exit status, output and the files it
// leaves.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tests/support/TempDir.h"

namespace {

struct ProgramRun {
    int status;
    std::string output;  // standard output and standard error together
};

class VaultryCommandLineTest : public testing::Test {
protected:
    ProgramRun Vaultry(const std::string& arguments) {
        const std::string command = "XDG_DATA_HOME='" + dir.File("data") + "' XDG_CONFIG_HOME='" +
                                    dir.File("config") + "' " + VAULTRY_EXECUTABLE + " " +
                                    arguments + " 2>&1";
        ProgramRun run{0, ""};
        FILE* pipe = popen(command.c_str(), "r");
        std::array<char, 512> buffer{};
        while (fgets(buffer.data(), buffer.size(), pipe) != nullptr) {
            run.output += buffer.data();
        }
        run.status = WEXITSTATUS(pclose(pipe));
        return run;
    }

    vaultry::test::TempDir dir;
};

TEST_F(VaultryCommandLineTest, InitMakesTheMissingLibrariesOnce) {
    const ProgramRun first = Vaultry("init");
    EXPECT_EQ(first.status, 0) << first.output;
    EXPECT_NE(first.output.find("created " + dir.File("data/vaultry/master.zblib")),
              std::string::npos);
    EXPECT_NE(first.output.find("tObjectTree: 1 rows"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir.File("config/vaultry/registry.reg")));

    const ProgramRun second = Vaultry("init");
    EXPECT_EQ(second.status, 0) << second.output;
    EXPECT_EQ(second.output.find("created"), std::string::npos);
    EXPECT_NE(second.output.find("generation: 8"), std::string::npos);
}

TEST_F(VaultryCommandLineTest, CreateAndInfoReportEveryOutcome) {
    const std::string old = dir.File("old.zblib");
    EXPECT_EQ(Vaultry("create " + old + " --tier corporate --generation 7").status, 0);
    const ProgramRun info = Vaultry("info " + old);
    EXPECT_EQ(info.status, 0);
    EXPECT_NE(info.output.find("generation: 7"), std::string::npos);

    const ProgramRun again = Vaultry("create " + old);
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.output.find("Database already exists."), std::string::npos);

    std::ofstream(dir.File("notes.zblib")) << std::string(300, 'n');
    const ProgramRun bad = Vaultry("info " + dir.File("notes.zblib"));
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.output, "vaultry: " + dir.File("notes.zblib") + ": file is not a database\n");

    EXPECT_EQ(Vaultry("create " + dir.File("x.zblib") + " --tier basement").status, 2);
    EXPECT_EQ(Vaultry("").status, 2);
    EXPECT_EQ(Vaultry("info --help").status, 0);
}

TEST_F(VaultryCommandLineTest, AMalformedSettingsFileIsAClearError) {
    std::ofstream(dir.File("bad.ini")) << "[libraries]\nmaster\n";
    const ProgramRun run = Vaultry("--config " + dir.File("bad.ini") + " init");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("bad.ini:2: expected key = value"), std::string::npos) << run.output;
}

}  // namespace
