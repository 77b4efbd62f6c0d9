// Names a user may type, or a file may bring, that look like SQL, patterns, list syntax or
// markup: kept byte for byte through every command, found by themselves only, or refused with
// the reason when no list or file could carry them.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "platform/dao/CDaoDatabase.h"
#include "tests/apps/VaultryProgram.h"

namespace {

using vaultry::test::FileBytes;
using vaultry::test::ProgramRun;

// `text` as one word of the shell.
std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string Repeated(const std::string& text, int times) {
    std::string repeated;
    for (int i = 0; i < times; ++i) {
        repeated += text;
    }
    return repeated;
}

const std::vector<std::string> kHostileNames = {
    "it's",
    "say \"hi\"",
    "x' OR '1'='1",
    "50%",
    "a_b",
    "a*b",
    "a?b",
    "a#b",
    "a|b",
    "[brackets]",
    "[!x]",
    "back\\slash",
    "chip \xF0\x9F\x94\x8C",                 // an emoji
    "\xE2\x80\x8F\xD7\xA0\xD7\x92\xD7\x93",  // a right-to-left mark and Hebrew letters
    " leading and trailing ",
    Repeated("\xC3\xA9", 255),  // 255 characters, 510 bytes
};

class HostileNamesTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(program.Run("init").status, 0); }

    ProgramRun Vaultry(const std::string& arguments) { return program.Run(arguments); }

    // A copy of a starter footprint in the user library, named `name`; its id. The user
    // library starts empty and ids grow, so the copy's id is one more than the copies before.
    std::string UserPartNamed(const std::string& name) {
        EXPECT_EQ(Vaultry("cp C0402 user").status, 0);
        const std::string id = std::to_string(++copies);
        const ProgramRun rename = Vaultry("rename --tier user " + id + " " + Quoted(name));
        EXPECT_EQ(rename.status, 0) << name << ": " << rename.output;
        return id;
    }

    // Changes a library behind the program's back, as an older or foreign program might have
    // (through the DAO layer: the text columns need the collation only it registers).
    void Execute(const std::string& tier, const std::string& sql) {
        CDaoDatabase library;
        program.OpenLibrary(library, tier);
        library.Execute(sql.c_str());
    }

    vaultry::test::VaultryProgram program;
    int copies = 0;
};

TEST_F(HostileNamesTest, EveryNameIsFoundByItselfAloneAndComesBackByteExactThroughAFile) {
    std::string exportArguments;
    for (const std::string& name : kHostileNames) {
        UserPartNamed(name);
        exportArguments += " " + Quoted(name);
    }
    for (const std::string& name : kHostileNames) {
        // Each name's own text finds it; "a_b" finds no "a*b", "50%" no other part.
        const ProgramRun found = Vaultry("ls --tier user --name " + Quoted(name));
        EXPECT_EQ(found.status, 0) << found.output;
        int exact = 0;
        int others = 0;
        for (std::size_t at = 0; at < found.output.size();) {
            const std::size_t end = found.output.find('\n', at);
            const std::size_t nameStart = found.output.find('\t', at) + 1;
            const std::string listed =
                found.output.substr(nameStart, found.output.find('\t', nameStart) - nameStart);
            (listed == name ? exact : others) += 1;
            at = end + 1;
        }
        EXPECT_EQ(exact, 1) << name;
        EXPECT_EQ(others, 0) << name << ":\n" << found.output;
    }
    const std::string file = program.File("hostile.xml");
    const ProgramRun exported = Vaultry("export" + exportArguments + " -o " + Quoted(file));
    ASSERT_EQ(exported.status, 0) << exported.output;
    ASSERT_EQ(Vaultry("mkdir corporate/Back").status, 0);
    const ProgramRun imported = Vaultry("import " + Quoted(file) + " --into corporate/Back");
    ASSERT_EQ(imported.status, 0) << imported.output;
    const std::string listed = Vaultry("ls --tier corporate").output;
    for (const std::string& name : kHostileNames) {
        EXPECT_NE(listed.find("\t" + name + "\tFootprint\t"), std::string::npos) << name;
    }
}

TEST_F(HostileNamesTest, ANameNoListOrFileCanCarryIsRefusedWithTheReasonAndNothingChanges) {
    const std::string id = UserPartNamed("kept");
    const std::pair<std::string, std::string> refusals[] = {
        {"", "Please enter a valid name."},
        {"   ", "Please enter a valid name."},
        {"tab\there", "may not hold control characters"},
        {"two\nlines", "may not hold control characters"},
        {"bell\a", "may not hold control characters"},
        {Repeated("n", 256), "at most 255 characters; this one has 256."},
    };
    for (const auto& [name, reason] : refusals) {
        const ProgramRun rename = Vaultry("rename --tier user " + id + " " + Quoted(name));
        EXPECT_EQ(rename.status, 1) << name;
        EXPECT_NE(rename.errors.find(reason), std::string::npos) << rename.errors;
        EXPECT_EQ(std::count(rename.errors.begin(), rename.errors.end(), '\n'), 1) << rename.errors;
        const ProgramRun mkdir = Vaultry("mkdir " + Quoted("user/" + name));
        EXPECT_NE(mkdir.status, 0) << name;
    }
    EXPECT_EQ(Vaultry("ls --tier user").output, id + "\tkept\tFootprint\troot\tuser\n");
    EXPECT_EQ(Vaultry("tree --tier user").output, "User  [1] 1 part\n");
}

TEST_F(HostileNamesTest, TheWildcardsWorkOnlyWhereAskedFor) {
    for (const char* name : {"a*b", "a?b", "a#b", "axb", "a1b", "[x]"}) {
        UserPartNamed(name);
    }
    const auto names = [this](const std::string& arguments) {
        std::string listed;
        const std::string output = Vaultry("ls --tier user " + arguments).output;
        for (std::size_t at = 0; at < output.size(); at = output.find('\n', at) + 1) {
            const std::size_t start = output.find('\t', at) + 1;
            listed += output.substr(start, output.find('\t', start) - start) + " ";
        }
        return listed;
    };
    EXPECT_EQ(names("--name 'a?b'"), "a?b ");
    EXPECT_EQ(names("--like 'a?b'"), "a#b a*b a1b a?b axb ");
    EXPECT_EQ(names("--like 'a#b'"), "a1b ");
    EXPECT_EQ(names("--like '[[]*'"), "[x] ");
    EXPECT_EQ(names("--like 'A[!0-9#]B'"), "a*b a?b axb ");
}

TEST_F(HostileNamesTest, AnExportGoesPastThePartsItCannotCarryAndNamesThem) {
    ASSERT_EQ(Vaultry("cp -r master/Resistors user").status, 0);
    // What older programs could store: a control character in a name, and data that is no part.
    Execute("user", "UPDATE tObjects SET strObjectName='R0805\a' WHERE strObjectName='R0805'");
    const std::string r1206 = Vaultry("ls --tier user --name R1206").output;
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(program.Library("user").c_str(), &db), SQLITE_OK);
    const std::string damage =
        "UPDATE tBlobs SET blbBlob=X'00FF' WHERE lBlobID=(SELECT lBlobID FROM tObjects WHERE "
        "lObjectID=" +
        r1206.substr(0, r1206.find('\t')) + ")";
    EXPECT_EQ(sqlite3_exec(db, damage.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    const std::string file = program.File("resistors.xml");
    const ProgramRun run = Vaultry("export --category user/Resistors -o " + file);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("R0805\a: holds a control character"), std::string::npos)
        << run.errors;
    EXPECT_NE(run.errors.find("R1206 could not be loaded"), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("exported 6 parts to " + file + "; 2 could not be exported"),
              std::string::npos)
        << run.errors;
    // The rest is there, in a file every XML reader takes: no character XML forbids, written
    // or referred to.
    const std::string xml = FileBytes(file);
    EXPECT_EQ(std::count(xml.begin(), xml.end(), '\a'), 0);
    EXPECT_FALSE(std::regex_search(xml, std::regex("&#(0*([0-8]|1[1-2]|1[4-9]|2[0-9]|3[01]);|x)")));
    ASSERT_EQ(Vaultry("mkdir corporate/R").status, 0);
    EXPECT_EQ(Vaultry("import " + file + " --into corporate/R").output,
              "imported 6 parts into Corporate database/R\n");
}

TEST_F(HostileNamesTest, AFileCutShortIsFoundByCheckAndLeftAsItWas) {
    namespace fs = std::filesystem;
    const std::string master = program.Library("master");
    const auto size = fs::file_size(master);
    fs::resize_file(master, size - 1);
    const std::string cut = FileBytes(master);
    const ProgramRun byOneByte = Vaultry("check --tier master");
    EXPECT_EQ(byOneByte.status, 1);
    EXPECT_NE(byOneByte.output.find("is not a whole number of pages"), std::string::npos)
        << byOneByte.output;
    EXPECT_TRUE(FileBytes(master) == cut);
    fs::resize_file(master, size - 4096);
    const std::string shorter = FileBytes(master);
    const ProgramRun byOnePage = Vaultry("check --tier master");
    EXPECT_EQ(byOnePage.status, 1);
    EXPECT_NE(byOnePage.output.find("master"), std::string::npos) << byOnePage.output;
    EXPECT_TRUE(FileBytes(master) == shorter);
}

}  // namespace
