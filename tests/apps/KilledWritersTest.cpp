// vaultry import and vaultry cp -r killed (SIGKILL) at random moments of their run, as a crash
// or a power cut would stop them: after each, the library passes SQLite's integrity test and
// holds the whole change or none of it; a change the program reported done is there.
//
// The suite kills 200 times; VAULTRY_KILLS=1000 (and VAULTRY_KILL_SEED) runs a longer
// campaign:
//
//   VAULTRY_KILLS=1000 build/test/tests/apps/apps_tests --gtest_filter='KilledWriters*'

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/dao/CDaoDatabase.h"
#include "platform/dao/CDaoRecordset.h"
#include "platform/dao/DaoTransaction.h"
#include "tests/apps/VaultryProgram.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPartsPerImport = 30;
constexpr int kPartsPerCopy = 12;      // master/ICs: four categories of three
constexpr int kCategoriesPerCopy = 5;  // ICs and its four

int Setting(const char* name, int otherwise) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::atoi(value) : otherwise;
}

class KilledWritersTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(program.Run("init").status, 0); }

    // Starts vaultry with `arguments` on the program's libraries, its output dropped; the pid,
    // 0 when it could not be started.
    pid_t Start(const std::vector<std::string>& arguments) {
        std::vector<std::string> words = {VAULTRY_EXECUTABLE};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        std::vector<std::string> settings = {"XDG_DATA_HOME=" + program.File("data"),
                                             "XDG_CONFIG_HOME=" + program.File("config")};
        std::vector<char*> env;
        for (std::string& setting : settings) {
            env.push_back(setting.data());
        }
        for (char** variable = environ; *variable != nullptr; ++variable) {
            const std::string text = *variable;
            if (text.rfind("XDG_", 0) != 0 && text.rfind("VAULTRY_", 0) != 0) {
                env.push_back(*variable);
            }
        }
        env.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), env.data()) != 0) {
            pid = 0;
        }
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    // Runs vaultry, killing it after `delay` unless it ends first; true when it ended by
    // itself reporting success.
    bool RunKilledAfter(const std::vector<std::string>& arguments, Clock::duration delay) {
        const pid_t pid = Start(arguments);
        if (pid <= 0) {
            ADD_FAILURE() << "vaultry could not be started";
            return false;
        }
        const Clock::time_point deadline = Clock::now() + delay;
        int status = 0;
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (Clock::now() >= deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    // How long a command runs when not killed.
    Clock::duration TimeOf(const std::vector<std::string>& arguments) {
        const Clock::time_point start = Clock::now();
        EXPECT_TRUE(RunKilledAfter(arguments, std::chrono::minutes(1)));
        return Clock::now() - start;
    }

    // The user library as the next program finds it: its integrity, part and category counts.
    struct Counts {
        std::string integrity;
        long parts = 0;
        long categories = 0;
    };
    Counts Read() {
        CDaoDatabase library;
        program.OpenLibrary(library, "user");
        Counts counts;
        const auto number = [&library](const char* sql) {
            CDaoRecordset rows(&library);
            rows.Open(dbOpenSnapshot, sql);
            return static_cast<long>(rows.GetFieldValue(0).AsInt64());
        };
        CDaoRecordset check(&library);
        check.Open(dbOpenSnapshot, "SELECT * FROM pragma_integrity_check");
        for (; !check.IsEOF(); check.MoveNext()) {
            counts.integrity += check.GetFieldValue(0).AsText().str();
        }
        counts.parts = number("SELECT Count(*) FROM tObjects");
        counts.categories = number("SELECT Count(*) FROM tObjectTree");
        return counts;
    }

    // Categories user/Copies/C1, C3, ... for the copies of odd attempts, made at once (one
    // program per category would take longer than the copies).
    void MakeCopyTargets(int attempts) {
        CDaoDatabase library;
        program.OpenLibrary(library, "user");
        CDaoRecordset copies(&library);
        copies.Open(dbOpenSnapshot, "SELECT lTreeID FROM tObjectTree WHERE strName='Copies'");
        const std::string parent = std::to_string(copies.GetFieldValue(0).AsInt64());
        vaultry::dao::DaoTransaction transaction(library);
        for (int attempt = 1; attempt < attempts; attempt += 2) {
            library.Execute(("INSERT INTO tObjectTree (strName, lLevel, lUserID, lParentID) "
                             "VALUES ('C" +
                             std::to_string(attempt) + "', 2, 0, " + parent + ")")
                                .c_str());
        }
        transaction.Commit();
    }

    vaultry::test::VaultryProgram program;
};

TEST_F(KilledWritersTest, EveryKillLeavesASoundLibraryWithTheWholeChangeOrNone) {
    const int kills = Setting("VAULTRY_KILLS", 200);
    std::mt19937 random(static_cast<unsigned>(Setting("VAULTRY_KILL_SEED", 20261208)));
    // Each command's own time, to spread the kills over the whole of its run.
    ASSERT_EQ(program.Run("mkdir user/Copies").status, 0);
    const Clock::duration importTime =
        TimeOf({"import", program.PartsFile("Timing", kPartsPerImport), "--into", "user"});
    const Clock::duration copyTime = TimeOf({"cp", "-r", "master/ICs", "user/Copies"});
    MakeCopyTargets(kills);
    Counts before = Read();
    int finished = 0;
    for (int attempt = 0; attempt < kills; ++attempt) {
        const bool import = attempt % 2 == 0;
        const Clock::duration runTime = import ? importTime : copyTime;
        const auto delay = std::chrono::duration_cast<Clock::duration>(
            runTime * std::uniform_real_distribution<double>(0.05, 1.1)(random));
        const std::string tag = std::to_string(attempt);
        const bool reported =
            import ? RunKilledAfter({"import", program.PartsFile("K" + tag, kPartsPerImport),
                                     "--into", "user"},
                                    delay)
                   : RunKilledAfter({"cp", "-r", "master/ICs", "user/Copies/C" + tag}, delay);
        const Counts after = Read();
        ASSERT_EQ(after.integrity, "ok") << "after kill " << attempt;
        const long parts = after.parts - before.parts;
        const long categories = after.categories - before.categories;
        const long whole = import ? kPartsPerImport : kPartsPerCopy;
        EXPECT_TRUE(parts == 0 || parts == whole) << parts << " parts after kill " << attempt;
        EXPECT_EQ(categories, import || parts == 0 ? 0 : kCategoriesPerCopy) << attempt;
        if (reported) {
            EXPECT_EQ(parts, whole) << "reported done, kill " << attempt;
        }
        finished += parts == whole ? 1 : 0;
        before = after;
    }
    // Some runs were cut, some finished: the kills fell all over the runs.
    EXPECT_GT(finished, 0);
    EXPECT_LT(finished, kills);
    RecordProperty("finished", finished);
    const vaultry::test::ProgramRun check = program.Run("check --tier user");
    EXPECT_EQ(check.output, "no problems found\n");
}

}  // namespace
