// A master library damaged in the ways files get damaged (cut short, bytes changed, emptied,
// replaced by another file, protected by the password of an unknown generation): every command that
// opens it ends with a result or one line that names the file, exits with 0 or 1, never crashes,
// and leaves the file's bytes as they were.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/dao/CDaoDatabase.h"
#include "platform/dao/DaoConstants.h"
#include "tests/apps/VaultryProgram.h"

namespace {

namespace fs = std::filesystem;
using vaultry::test::FileBytes;
using vaultry::test::ProgramRun;

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

struct Damage {
    std::string what;
    std::string bytes;
    bool openFails;  // no command can use the file
};

class DamagedFilesTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(program.Run("init").status, 0);
        master = program.Library("master");
        sound = FileBytes(master);
    }

    // The damages tried: cut at several points, bytes changed at random places, and files
    // that are no library of this program.
    std::vector<Damage> Damages() {
        std::vector<Damage> damages;
        for (const std::size_t keep : {sound.size() - 1, sound.size() * 3 / 4, sound.size() / 2,
                                       std::size_t{4096}, std::size_t{100}}) {
            damages.push_back(
                {"cut to " + std::to_string(keep) + " bytes", sound.substr(0, keep), keep < 4096});
        }
        std::mt19937 random(20261208);
        for (int flips = 0; flips < 4; ++flips) {
            std::string changed = sound;
            const std::size_t at =
                std::uniform_int_distribution<std::size_t>(100, changed.size() - 64)(random);
            for (std::size_t i = at; i < at + 64; ++i) {
                changed[i] = static_cast<char>(~changed[i]);
            }
            damages.push_back({"64 bytes changed at " + std::to_string(at), changed, false});
        }
        damages.push_back({"empty", "", true});
        damages.push_back({"a text", "some notes, not a library\n", true});
        return damages;
    }

    // Runs `command` on the damaged master; the file must keep `bytes`.
    void ExpectSafe(const std::string& command, const Damage& damage) {
        const std::string when = command + " on a master " + damage.what;
        const ProgramRun run = program.Run(command);
        EXPECT_TRUE(run.status == 0 || run.status == 1) << when << ": " << run.status;
        EXPECT_EQ(run.errors.find("Sanitizer"), std::string::npos) << when << run.errors;
        EXPECT_EQ(run.errors.find("runtime error"), std::string::npos) << when << run.errors;
        if (damage.openFails) {
            EXPECT_EQ(run.status, 1) << when;
            EXPECT_EQ(run.errors.rfind("vaultry: the master library " + master + ": ", 0), 0u)
                << when << ": " << run.errors;
            EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
        }
        EXPECT_TRUE(FileBytes(master) == damage.bytes) << when << ": the file was written";
    }

    vaultry::test::VaultryProgram program;
    std::string master;
    std::string sound;
};

TEST_F(DamagedFilesTest, EveryCommandEndsInAResultOrOneLineAndNeverWritesTheFile) {
    const std::string exported = program.File("out.xml");
    for (const Damage& damage : Damages()) {
        for (const char* leftOver : {"-wal", "-shm"}) {
            fs::remove(master + leftOver);
        }
        Write(master, damage.bytes);
        for (const std::string& command : std::vector<std::string>{
                 "tree", "ls --name SO", "show SOIC-8 --tier master", "check --tier master",
                 "export --category master -o " + exported, "cp SOIC-8 user"}) {
            ExpectSafe(command, damage);
        }
        if (damage.openFails || damage.what.rfind("cut", 0) == 0) {
            EXPECT_EQ(program.Run("check --tier master").status, 1) << damage.what;
        }
    }
}

// A generation is told by the file's database password; one this program does not know is
// a library it cannot open, said as such.
TEST_F(DamagedFilesTest, ALibraryOfAnUnknownGenerationIsRefusedUntouched) {
    fs::remove(master);
    {
        CDaoDatabase library;
        library.Create(master.c_str(),
                       (std::string(dbLangGeneral) + ";pwd=NextGeneration").c_str());
    }
    const std::string unknown = FileBytes(master);
    for (const char* command : {"ls", "tree --tier master", "check"}) {
        const ProgramRun run = program.Run(command);
        EXPECT_EQ(run.status, 1) << command;
        EXPECT_EQ(run.errors, "vaultry: the master library " + master +
                                  ": wrong password: the file is protected by a password of no "
                                  "library generation; restore it from a backup, or move it away "
                                  "and run \"vaultry init\" to make a new one\n");
        EXPECT_TRUE(FileBytes(master) == unknown) << command;
    }
}

}  // namespace
