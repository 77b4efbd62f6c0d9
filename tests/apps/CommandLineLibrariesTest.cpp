// The library subcommands end to end: the real program on libraries made by its own init.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/dao/CDaoDatabase.h"
#include "tests/apps/VaultryProgram.h"

namespace {

using vaultry::test::ProgramRun;

class CommandLineLibrariesTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(program.Run("init").status, 0); }

    ProgramRun Vaultry(const std::string& arguments, const std::string& input = "",
                       const std::string& environment = "") {
        return program.Run(arguments, input, environment);
    }

    static int Lines(const std::string& text) {
        return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    }

    // The "pads" array of a part's JSON description: its geometry.
    std::string Pads(const std::string& part, const std::string& tier) {
        const ProgramRun run = Vaultry("show '" + part + "' --tier " + tier + " --json");
        EXPECT_EQ(run.status, 0) << run.output;
        const std::size_t start = run.output.find("\"pads\":");
        return run.output.substr(start, run.output.find(']', start) - start);
    }

    // Changes a library behind the program's back, through the DAO layer (its text columns need
    // the collation only it registers).
    void Damage(const std::string& tier, const std::string& sql) {
        CDaoDatabase library;
        program.OpenLibrary(library, tier);
        library.Execute(sql.c_str());
    }

    // Overwrites the stored data of part `name` with bytes that are no part.
    void DamageBytes(const std::string& tier, const std::string& name) {
        const long id = Id(name, tier);
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(program.Library(tier).c_str(), &db), SQLITE_OK);
        const std::string sql =
            "UPDATE tBlobs SET blbBlob=X'00FF' WHERE lBlobID=(SELECT lBlobID "
            "FROM tObjects WHERE lObjectID=" +
            std::to_string(id) + ")";
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }

    // Settings that let the master library be changed, as an option of the command line.
    std::string MasterEdit() {
        std::ofstream(program.File("config/vaultry/master-edit.ini"))
            << "[host]\nmaster_edit = yes\n";
        return " --config " + program.File("config/vaultry/master-edit.ini");
    }

    long Id(const std::string& name, const std::string& tier) {
        return std::stol(Vaultry("ls --tier " + tier + " --name " + name).output);
    }

    vaultry::test::VaultryProgram program;
};

TEST_F(CommandLineLibrariesTest, TheStarterSetHasTheUsualLandPatterns) {
    const ProgramRun tree = Vaultry("tree --tier master");
    EXPECT_NE(tree.output.find("  ICs  [6] 0 parts\n    DIP  [7] 3 parts\n"), std::string::npos)
        << tree.output;
    // SOIC-8: pin 1 top left, 1.27 mm down the row, rows 5.4 mm apart.
    const std::string soic = Pads("SOIC-8", "master");
    EXPECT_NE(soic.find("\"number\":\"1\",\"shape\":\"rounded rectangle\",\"x\":-2700000,"
                        "\"y\":1905000,\"width\":1550000,\"height\":600000"),
              std::string::npos)
        << soic;
    EXPECT_NE(soic.find("\"number\":\"2\",\"shape\":\"rounded rectangle\",\"x\":-2700000,"
                        "\"y\":635000"),
              std::string::npos);
    const ProgramRun dip = Vaultry("show DIP-8 --unit mil");
    EXPECT_NE(dip.output.find("horizontal pitch: 300 mil"), std::string::npos) << dip.output;
    EXPECT_NE(dip.output.find("vertical pitch: 100 mil"), std::string::npos);
    EXPECT_NE(dip.output.find("drill 31.5 mil"), std::string::npos);
}

TEST_F(CommandLineLibrariesTest, ListFiltersAsThePartListsDo) {
    EXPECT_EQ(Lines(Vaultry("ls").output), 40);
    EXPECT_EQ(Vaultry("ls --category master/ICs").output, "");
    EXPECT_EQ(Lines(Vaultry("ls --category Norvik\\ Master/ICs -r").output), 12);
    EXPECT_EQ(Lines(Vaultry("ls --category 9 --tier master").output), 3);  // SOIC
    // Names containing "so", case ignored: SOIC, TSSOP and SOT. A quote or a pattern
    // character is looked for as it is.
    EXPECT_EQ(Lines(Vaultry("ls --name so").output), 8);
    EXPECT_EQ(Vaultry("ls --name \"S'o\"").output, "");
    EXPECT_EQ(Vaultry("ls --name 'S*C'").output, "");
    EXPECT_EQ(Vaultry("ls --type Pad-Stack").output, "");
    EXPECT_EQ(Vaultry("ls --tier user").output, "");
    // Types hidden from lists stay out of them.
    Damage("master", "UPDATE tObjectTypes SET byVisibility=1");
    EXPECT_EQ(Vaultry("ls --name R0603").output, "");
    Damage("master", "UPDATE tObjectTypes SET byVisibility=0");
    const ProgramRun json = Vaultry("--json ls --name R0603");
    EXPECT_EQ(json.output,
              "[{\"id\":33,\"name\":\"R0603\",\"docType\":\"Footprint\",\"category\":14,"
              "\"owner\":0,\"ownerName\":\"root\",\"tier\":\"master\",\"rights\":true}]\n");
    ASSERT_EQ(Vaultry("rename R0603 \"R0603 'wide' [x]\" --tier master" + MasterEdit()).status, 0);
    EXPECT_EQ(Lines(Vaultry("ls --name \"'wide' [\"").output), 1);
}

TEST_F(CommandLineLibrariesTest, CategoriesCopyAndMoveBetweenTiersWithTheirGeometry) {
    ASSERT_EQ(Vaultry("cp -r master/ICs user").status, 0);
    EXPECT_EQ(Lines(Vaultry("ls --category user/ICs --recursive").output), 12);
    const ProgramRun moved = Vaultry("mv -r user/ICs corporate");
    ASSERT_EQ(moved.status, 0) << moved.output;
    EXPECT_EQ(moved.output, "moved User/ICs into Corporate database\n");
    EXPECT_EQ(Vaultry("ls --tier user").output, "");
    for (const char* part : {"SOIC-8", "TSSOP-20", "QFN-32_5x5", "DIP-16"}) {
        EXPECT_EQ(Pads(part, "corporate"), Pads(part, "master")) << part;
    }
    ASSERT_EQ(Vaultry("mkdir corporate/ICs/Old").status, 0);
    EXPECT_EQ(Vaultry("mv -r corporate/ICs/SOIC corporate/ICs/Old").status, 0);
    EXPECT_EQ(Lines(Vaultry("ls --category corporate/ICs/Old/SOIC").output), 3);
}

TEST_F(CommandLineLibrariesTest, PartsCopyRenameMoveAndGo) {
    ASSERT_EQ(Vaultry("mkdir user/Chips").status, 0);
    EXPECT_EQ(Vaultry("cp R0603 user/Chips").output, "copied R0603 to User/Chips\n");
    EXPECT_EQ(Vaultry("cp R0603 user/Chips").status, 0);
    EXPECT_NE(Vaultry("ls --tier user").output.find("Copy of R0603"), std::string::npos);
    EXPECT_EQ(Vaultry("rename 'Copy of R0603' \"R0603 'wide'\"").status, 0);
    EXPECT_EQ(Vaultry("mv \"R0603 'wide'\" corporate").status, 0);
    EXPECT_NE(Vaultry("ls --tier corporate").output.find("R0603 'wide'"), std::string::npos);
    EXPECT_EQ(Vaultry("rm \"R0603 'wide'\"").status, 0);
    EXPECT_EQ(Vaultry("ls --tier corporate").output, "");
    EXPECT_EQ(Vaultry("rm R0603 --tier user").status, 0);
    EXPECT_EQ(Vaultry("rmdir user/Chips").status, 0);
}

TEST_F(CommandLineLibrariesTest, RefusalsSayWhyAndExitWithOne) {
    ASSERT_EQ(Vaultry("cp -r master/ICs user").status, 0);
    const std::pair<const char*, const char*> refusals[] = {
        {"mv -r user/ICs user/ICs/SOIC",
         "mv -r: A category cannot go into itself or into one of its own sub-categories."},
        {"mv -r user/ICs/SOIC user/ICs", "mv -r: The category is already there."},
        {"cp -r user/ICs user/ICs/QFN",
         "cp -r: A category cannot go into itself or into one of its own sub-categories."},
        {"cp -r master/ICs user", "cp -r: A category named \"ICs\" is already there."},
        {"mv -r master/ICs/QFN user/ICs", "mv -r: The master library may not be changed"},
        {"rmdir user/ICs", "rmdir: User/ICs is not empty"},
        {"rmdir -r user", "rmdir: A top category cannot be moved, renamed or removed."},
        {"rm SOIC-8 --tier master",
         "The master library may not be changed: the host does not allow it. (set master_edit"},
        {"rm nothing-like-it", "no part named nothing-like-it"},
        {"ls --category user/Nowhere", "no category user/Nowhere"},
        {"mkdir user/ics", "mkdir user/ics: A category named \"ics\" is already there."},
        {"rename SOIC-8 '' --tier user", "rename SOIC-8: Please enter a valid name."},
    };
    for (const auto& [command, message] : refusals) {
        const ProgramRun run = Vaultry(command);
        EXPECT_EQ(run.status, 1) << command;
        EXPECT_NE(run.errors.find(message), std::string::npos) << command << ": " << run.errors;
    }
    EXPECT_EQ(Vaultry("mv").status, 2);
    EXPECT_EQ(Vaultry("show SOIC-8 --unit furlong").status, 2);
    EXPECT_EQ(Vaultry("--help").status, 0);
}

TEST_F(CommandLineLibrariesTest, APasswordGuardsTheOwnersParts) {
    ASSERT_EQ(Vaultry("cp -r master/Resistors user").status, 0);
    ASSERT_EQ(Vaultry("passwd --password-stdin", "Secret\n").status, 0);
    const ProgramRun guessed = Vaultry("passwd --password-stdin", "secret\nmine\n");
    EXPECT_EQ(guessed.status, 1);  // changing it needs the current one
    EXPECT_NE(guessed.errors.find("passwd: No rights: the library password is missing or wrong."),
              std::string::npos)
        << guessed.errors;
    const ProgramRun none = Vaultry("rm R0603 --tier user");
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.errors.find("rm R0603: No rights: the library password is missing or wrong."),
              std::string::npos)
        << none.errors;
    EXPECT_EQ(Vaultry("rm R0603 --tier user --password-stdin", "secret\n").status, 1);
    EXPECT_EQ(Vaultry("rm R0603 --tier user --password-stdin", "Secret\n").status, 0);
    EXPECT_EQ(Vaultry("rm R0805 --tier user", "", "VAULTRY_PASSWORD=Secret").status, 0);
    EXPECT_EQ(Lines(Vaultry("ls --tier user").output), 6);
}

TEST_F(CommandLineLibrariesTest, ExportThenImportGivesTheSameGeometry) {
    const ProgramRun exported =
        Vaultry("export --category master/ICs -o " + program.File("ics.xml"));
    ASSERT_EQ(exported.status, 0) << exported.output;
    ASSERT_EQ(Vaultry("mkdir corporate/Imported").status, 0);
    const ProgramRun imported =
        Vaultry("--json import " + program.File("ics.xml") + " --into corporate/Imported");
    ASSERT_EQ(imported.status, 0) << imported.output;
    EXPECT_EQ(imported.output,
              "{\"done\":\"imported 12 parts into Corporate database/Imported\",\"parts\":12}\n");
    EXPECT_EQ(Lines(Vaultry("ls --category corporate/Imported/QFN").output), 3);
    for (const char* part : {"SOIC-8", "TSSOP-14", "QFN-16_3x3", "DIP-8"}) {
        EXPECT_EQ(Pads(part, "corporate"), Pads(part, "master")) << part;
    }

    const ProgramRun again =
        Vaultry("import " + program.File("ics.xml") + " --into corporate/Imported");
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.errors.find("import: SOIC-8: the name is taken in the corporate library; not "
                                "stored"),
              std::string::npos)
        << again.errors;
    EXPECT_EQ(Lines(Vaultry("ls --tier corporate").output), 12);

    std::ofstream(program.File("broken.xml")) << "<vaultry-parts version=\"1\"><part "
                                                 "docType=\"Footprint\"><group/></part>";
    const ProgramRun broken = Vaultry("import " + program.File("broken.xml") + " --into user");
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.errors.find("broken.xml"), std::string::npos) << broken.errors;
    EXPECT_EQ(Vaultry("ls --tier user").output, "");
}

// An import stores a large file a run of parts at a time; a part found malformed at its end
// still leaves nothing of it stored.
TEST_F(CommandLineLibrariesTest, AFileMalformedAfterManyRunsStoresNothing) {
    ASSERT_EQ(Vaultry("export SOIC-8 -o " + program.File("one.xml")).status, 0);
    const std::string one = vaultry::test::FileBytes(program.File("one.xml"));
    const std::size_t begin = one.find("<part ");
    const std::size_t end = one.rfind("</part>") + 7;
    ASSERT_NE(begin, std::string::npos);
    const std::string part = one.substr(begin, end - begin);
    std::string many = one.substr(0, begin);
    for (int i = 0; i < 600; ++i) {
        std::string copy = part;
        copy.replace(copy.find("SOIC-8"), 6, "SOIC-8-" + std::to_string(i));
        many += copy + "\n";
    }
    std::ofstream(program.File("good.xml")) << many << "</vaultry-parts>\n";
    std::ofstream(program.File("bad.xml"))
        << many << "<part docType=\"Footprint\"><spline/></part></vaultry-parts>\n";

    const ProgramRun bad = Vaultry("import " + program.File("bad.xml") + " --into user");
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.errors.find("a part holds one <group>"), std::string::npos) << bad.errors;
    EXPECT_EQ(Vaultry("ls --tier user").output, "");
    const ProgramRun good = Vaultry("import " + program.File("good.xml") + " --into user");
    ASSERT_EQ(good.status, 0) << good.errors;
    EXPECT_EQ(Lines(Vaultry("ls --tier user").output), 600);
}

TEST_F(CommandLineLibrariesTest, CheckFindsTheDamageDoneOnPurpose) {
    EXPECT_EQ(Vaultry("check").output, "no problems found\n");
    ASSERT_EQ(Vaultry("cp -r master/Resistors user").status, 0);
    Damage("user", "DELETE FROM tObjectTree WHERE strName='SMD'");
    DamageBytes("user", "R0402");
    Damage("user", "UPDATE tObjectTree SET lLevel=5 WHERE strName='Resistors'");
    const ProgramRun check = Vaultry("check --tier user");
    EXPECT_EQ(check.status, 1);
    EXPECT_NE(check.output.find("\"R0603\": its category is missing"), std::string::npos)
        << check.output;
    EXPECT_NE(check.output.find("\"R0402\": its data does not decode"), std::string::npos);
    EXPECT_NE(check.output.find("\"Resistors\": at level 5 under a category at level 0"),
              std::string::npos);
    EXPECT_EQ(Vaultry("check --tier master").status, 0);
    EXPECT_EQ(Vaultry("cache --tier master").output,
              "rebuilt the category cache of the master library and measured the land patterns "
              "of its 40 parts\n");
}

}  // namespace

TEST_F(CommandLineLibrariesTest, ANonLibraryFileIsRefusedUntouchedInOneLineThatSaysWhatToDo) {
    namespace fs = std::filesystem;
    const std::string master = program.Library("master");
    const auto bytes = vaultry::test::FileBytes;
    // Empty, then another program's database in its own (rollback) journal; each put in place
    // as a user copies a file, without the log files of the library it replaces.
    fs::remove(master + "-wal");
    fs::remove(master + "-shm");
    std::ofstream(master, std::ios::trunc).close();
    const ProgramRun empty = Vaultry("ls");
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.errors, "vaultry: the master library " + master +
                                ": an empty file, not a library; restore it from a backup, or "
                                "move it away and run \"vaultry init\" to make a new one\n");
    EXPECT_EQ(fs::file_size(master), 0u);
    fs::remove(master);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(master.c_str(), &other), SQLITE_OK);
    sqlite3_exec(other, "CREATE TABLE notes (text TEXT); INSERT INTO notes VALUES ('mine')",
                 nullptr, nullptr, nullptr);
    sqlite3_close(other);
    const std::string before = bytes(master);
    const ProgramRun foreign = Vaultry("tree");
    EXPECT_EQ(foreign.status, 1);
    EXPECT_NE(foreign.errors.find(master + ": not a library: a database without the library "
                                           "tables; restore it"),
              std::string::npos)
        << foreign.errors;
    // Not switched to a write-ahead log, nor written at all.
    EXPECT_TRUE(bytes(master) == before) << "the file was written";
    EXPECT_FALSE(fs::exists(master + "-wal"));
    std::ofstream(master, std::ios::trunc) << "some notes, not a library";
    EXPECT_NE(Vaultry("ls").errors.find(master + ": file is not a database; restore it"),
              std::string::npos);
    fs::remove(master);
    EXPECT_EQ(Vaultry("ls").errors, "vaultry: the master library " + master +
                                        " is missing; run \"vaultry init\" to make it\n");
}

TEST_F(CommandLineLibrariesTest, EveryCommandThatStoresPassesTheRightsFirst) {
    ASSERT_EQ(Vaultry("export --category master/ICs -o " + program.File("ics.xml")).status, 0);
    ASSERT_EQ(Vaultry("mkdir user/Mine").status, 0);
    ASSERT_EQ(Vaultry("passwd --password-stdin", "Secret\n").status, 0);
    const std::vector<std::string> commands = {
        "cp --tier master R0603 user", "cp -r master/Resistors user",
        "import " + program.File("ics.xml") + " --into user",
        "mv -r master/ICs user/Mine" + MasterEdit(), "mkdir user/Mine/Deeper"};
    for (const std::string& command : commands) {
        const ProgramRun run = Vaultry(command);
        EXPECT_EQ(run.status, 1) << command;
        EXPECT_NE(run.errors.find("No rights: the library password is missing or wrong."),
                  std::string::npos)
            << command << ": " << run.errors;
    }
    EXPECT_EQ(Vaultry("ls --tier user").output, "");
    EXPECT_EQ(Lines(Vaultry("tree --tier user").output), 2);  // User and Mine
    EXPECT_EQ(Vaultry("cp --tier master R0603 user --password-stdin", "Secret\n").status, 0);

    // A category of another user who protects it with a password takes nothing, whatever
    // password is given.
    Damage("user",
           "INSERT INTO tUserTree (lUserID, strUserName, strPassword, bMayWrite) VALUES (5, "
           "'other', 'theirs', 1)");
    Damage("user", "UPDATE tObjectTree SET lUserID=5 WHERE strName='Mine'");
    const ProgramRun theirs =
        Vaultry("cp --tier master R0805 user/Mine --password-stdin", "theirs\n");
    EXPECT_EQ(theirs.status, 1);
    EXPECT_NE(theirs.errors.find("belongs to another user"), std::string::npos) << theirs.errors;
    EXPECT_EQ(Lines(Vaultry("ls --tier user").output), 1);
}

TEST_F(CommandLineLibrariesTest, NamesAreUniqueWithinADocumentTypeWhateverItsTypeRows) {
    ASSERT_EQ(Vaultry("cp --tier master R0201 user").status, 0);
    ASSERT_EQ(Vaultry("cp --tier master R0402 user").status, 0);
    const long r0402 = Id("R0402", "user");
    const ProgramRun taken = Vaultry("rename --tier user " + std::to_string(r0402) + " r0201");
    EXPECT_EQ(taken.status, 1);
    EXPECT_NE(taken.errors.find("The specified name already exists"), std::string::npos)
        << taken.errors;
    // An older file may hold two type rows for one document type; names still clash across
    // them. The second row repeats the first, which check reports.
    Damage("user",
           "INSERT INTO tObjectTypes (strDescription, strDocumentType, lBlobID, byVisibility) "
           "SELECT strDescription, strDocumentType, lBlobID, byVisibility FROM tObjectTypes");
    Damage("user",
           "UPDATE tObjects SET lObjectTypeID=(SELECT Max(lObjectTypeID) FROM "
           "tObjectTypes) WHERE strObjectName='R0402'");
    EXPECT_EQ(Vaultry("rename --tier user " + std::to_string(r0402) + " R0201").status, 1);
    EXPECT_EQ(Vaultry("rename --tier user " + std::to_string(r0402) + " r0402").status, 0);
    const ProgramRun check = Vaultry("check --tier user");
    EXPECT_NE(check.output.find("repeats object type 1"), std::string::npos) << check.output;
    Damage("user", "UPDATE tObjects SET strObjectName='r0201' WHERE strObjectName='r0402'");
    EXPECT_NE(Vaultry("check --tier user").output.find("another Footprint (part"),
              std::string::npos);
}

TEST_F(CommandLineLibrariesTest, AnImportCountsOnlyThePartsItStored) {
    ASSERT_EQ(Vaultry("export R0603 R0805 R0603 -o " + program.File("twice.xml")).status, 0);
    const ProgramRun imported = Vaultry("import " + program.File("twice.xml") + " --into user");
    EXPECT_EQ(imported.status, 1);
    EXPECT_NE(imported.errors.find("R0603: the name is taken in the user library; not stored"),
              std::string::npos)
        << imported.errors;
    EXPECT_NE(imported.errors.find("import: stored 2 parts;"), std::string::npos)
        << imported.errors;
    EXPECT_EQ(Lines(Vaultry("ls --tier user").output), 2);
}
