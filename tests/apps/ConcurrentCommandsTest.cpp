// Several vaultry programs changing one library at once: what one makes, the others see; none
// is told the library is busy; nothing is lost or stored twice, and no two siblings share a
// name.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/dao/CDaoDatabase.h"
#include "platform/dao/CDaoRecordset.h"
#include "tests/apps/VaultryProgram.h"
#include "tests/support/Engines.h"

namespace {

using vaultry::test::ProgramRun;

class ConcurrentCommandsTest : public vaultry::test::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        if (OnServer()) {
            program.UseServerFor("user");
        }
        ASSERT_EQ(program.Run("init").status, 0);
    }

    // How many lines of the user tree name `name` at `depth` (two blanks a level).
    int Categories(const std::string& name, int depth) {
        const std::string tree = program.Run("tree --tier user").output;
        const std::string line =
            std::string(static_cast<std::size_t>(depth) * 2, ' ') + name + "  [";
        int count = 0;
        for (std::size_t at = tree.find(line); at != std::string::npos;
             at = tree.find(line, at + 1)) {
            count += at == 0 || tree[at - 1] == '\n' ? 1 : 0;
        }
        return count;
    }

    // The names `ls` lists for `arguments`, each once, and how many lines it printed.
    std::set<std::string> Names(const std::string& arguments, std::size_t& lines) {
        std::set<std::string> names;
        std::istringstream listed(program.Run("ls " + arguments).output);
        lines = 0;
        for (std::string line; std::getline(listed, line); ++lines) {
            const std::size_t start = line.find('\t') + 1;
            names.insert(line.substr(start, line.find('\t', start) - start));
        }
        return names;
    }

    // Every category of the user library has one cache row naming its ancestors from the top
    // down to itself, as the tree has them.
    void ExpectCacheMatchesTree() {
        CDaoDatabase library;
        program.OpenLibrary(library, "user", true);
        std::map<long, std::pair<long, long>> tree;  // id: parent, level
        CDaoRecordset rows(&library);
        rows.Open(dbOpenSnapshot, "SELECT lTreeID, lParentID, lLevel FROM tObjectTree");
        for (; !rows.IsEOF(); rows.MoveNext()) {
            tree[static_cast<long>(rows.GetFieldValue(0).AsInt64())] = {
                static_cast<long>(rows.GetFieldValue(1).AsInt64()),
                static_cast<long>(rows.GetFieldValue(2).AsInt64())};
        }
        CDaoRecordset cache(&library);
        cache.Open(dbOpenSnapshot, "SELECT * FROM tObjectTreeCache");
        std::size_t cached = 0;
        for (; !cache.IsEOF(); cache.MoveNext(), ++cached) {
            long id = static_cast<long>(cache.GetFieldValue("lTreeID").AsInt64());
            ASSERT_EQ(tree.count(id), 1u) << "a cached category that is not in the tree";
            for (long level = tree[id].second; level >= 0; --level) {
                EXPECT_EQ(cache.GetFieldValue(static_cast<int>(level)).AsInt64(), id);
                id = tree[id].first;
            }
        }
        EXPECT_EQ(cached, tree.size());
    }

    vaultry::test::VaultryProgram program;
};

INSTANTIATE_TEST_SUITE_P(Engines, ConcurrentCommandsTest, vaultry::test::kEveryEngine,
                         vaultry::test::EngineName);

TEST_P(ConcurrentCommandsTest, CategoriesMadeAtOnceAreMadeOnce) {
    ASSERT_EQ(program.Run("export --category master/Capacitors -o " + program.File("c.xml")).status,
              0);
    for (int round = 0; round < 4; ++round) {
        const std::string race = "Race" + std::to_string(round);
        const std::vector<ProgramRun> runs =
            program.RunTogether({"mkdir user/" + race, "mkdir user/" + race, "mkdir user/" + race,
                                 "import " + program.File("c.xml") + " --into user/" + race,
                                 "import " + program.File("c.xml") + " --into user/" + race});
        ASSERT_EQ(runs.size(), 5u);
        EXPECT_EQ(Categories(race, 1), 1) << "round " << round;
        EXPECT_EQ((runs[0].status == 0) + (runs[1].status == 0) + (runs[2].status == 0), 1)
            << "round " << round;
    }
    // The imports made their categories below a race once each: no sibling shares a name.
    EXPECT_EQ(program.Run("check --tier user").output, "no problems found\n");
}

TEST_P(ConcurrentCommandsTest, FourWritersOfAThousandPartsEachLoseNothingAndWaitTheirTurn) {
    std::vector<std::string> imports;
    for (const char* writer : {"A", "B", "C", "D"}) {
        imports.push_back("import " + program.PartsFile(writer, 1000) + " --into user");
    }
    for (const ProgramRun& run : program.RunTogether(imports)) {
        EXPECT_EQ(run.status, 0) << run.errors;  // busy or locked would be said here
    }
    std::size_t lines = 0;
    EXPECT_EQ(Names("--tier user", lines).size(), 4000u);
    EXPECT_EQ(lines, 4000u);
    EXPECT_EQ(program.Run("check --tier user").output, "no problems found\n");
}

// Stores, renames, copies and category changes at once, each round racing for the same names:
// a refusal names the clash; nobody is told the library is busy; no name is stored twice.
TEST_P(ConcurrentCommandsTest, MixedChangesAtOnceLeaveOneSoundLibrary) {
    const std::string parts = program.PartsFile("M", 100);
    ASSERT_EQ(program.Run("mkdir user/Mix").status, 0);
    ASSERT_EQ(program.Run("mkdir user/Mix/Keep").status, 0);
    for (int round = 0; round < 3; ++round) {
        const std::string r = std::to_string(round);
        const std::vector<ProgramRun> runs = program.RunTogether({
            "import " + parts + " --into user/Mix",
            "import " + parts + " --into user/Mix",
            "cp -r master/ICs user/Mix",
            "cp -r master/Resistors user/Mix",
            "mkdir user/Mix/Dir" + r,
            "mkdir user/Mix/Dir" + r,
            "cp SOIC-8 user/Mix",
            // The resistors are copied in the first round, and nothing else brings their names.
            round == 0 ? "tree"
                       : "rename --tier user " + (round == 1 ? std::string("R0402") : "Renamed-1") +
                             " Renamed-" + r,
            round == 0 ? "ls" : "mv -r user/Mix/Dir" + std::to_string(round - 1) + " user/Mix/Keep",
        });
        for (const ProgramRun& run : runs) {
            EXPECT_EQ(run.errors.find("locked"), std::string::npos) << run.errors;
            EXPECT_EQ(run.errors.find("busy"), std::string::npos) << run.errors;
        }
        // One of two equal imports, of two equal mkdirs, and of the copies of a tree that is
        // there after the first round, succeeds.
        EXPECT_EQ((runs[0].status == 0) + (runs[1].status == 0), round == 0 ? 1 : 0);
        EXPECT_EQ((runs[4].status == 0) + (runs[5].status == 0), 1);
        if (round > 0) {
            EXPECT_EQ(runs[2].status, 1) << runs[2].errors;
        }
    }
    std::size_t lines = 0;
    const std::set<std::string> names = Names("--tier user", lines);
    EXPECT_EQ(lines, names.size()) << "a name stored twice";
    // 100 imported, 12 ICs, 8 resistors (one renamed twice) and SOIC-8 copied three times. A
    // copy that chose its free name before the copied tree stored a part of that name would
    // replace that part, and one would be missing.
    EXPECT_EQ(lines, 100u + 12u + 8u + 3u) << program.Run("tree --tier user").output;
    EXPECT_EQ(names.count("Renamed-2"), 1u);
    EXPECT_EQ(Categories("Dir0", 3) + Categories("Dir1", 3) + Categories("Dir2", 2), 3);
    EXPECT_EQ(program.Run("check --tier user").output, "no problems found\n");
    // The category cache, rebuilt while others write, lists each category's ancestors.
    const std::vector<ProgramRun> rebuilt =
        program.RunTogether({"cache --tier user", "mkdir user/Mix/Late", "cache --tier user"});
    for (const ProgramRun& run : rebuilt) {
        EXPECT_EQ(run.status, 0) << run.errors;
    }
    ASSERT_EQ(program.Run("cache --tier user").status, 0);
    ExpectCacheMatchesTree();
}

}  // namespace
