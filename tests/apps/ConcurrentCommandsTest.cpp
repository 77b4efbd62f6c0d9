// Several vaultry programs changing one library at once: what one makes, the others see, and
// no two siblings share a name.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/apps/VaultryProgram.h"

namespace {

using vaultry::test::ProgramRun;

class ConcurrentCommandsTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(program.Run("init").status, 0); }

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

    vaultry::test::VaultryProgram program;
};

TEST_F(ConcurrentCommandsTest, CategoriesMadeAtOnceAreMadeOnce) {
    ASSERT_EQ(program.Run("export --category master/Capacitors -o " + program.File("c.xml")).status,
              0);
    for (int round = 0; round < 4; ++round) {
        const std::string race = "Race" + std::to_string(round);
        const std::vector<int> statuses =
            program.RunTogether({"mkdir user/" + race, "mkdir user/" + race, "mkdir user/" + race,
                                 "import " + program.File("c.xml") + " --into user/" + race,
                                 "import " + program.File("c.xml") + " --into user/" + race});
        ASSERT_EQ(statuses.size(), 5u);
        EXPECT_EQ(Categories(race, 1), 1) << "round " << round;
        EXPECT_EQ((statuses[0] == 0) + (statuses[1] == 0) + (statuses[2] == 0), 1)
            << "round " << round;
    }
    // The imports made their categories below a race once each: no sibling shares a name.
    EXPECT_EQ(program.Run("check --tier user").output, "no problems found\n");
}

}  // namespace
