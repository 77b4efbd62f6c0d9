// A team's corporate library on a PostgreSQL server, driven by the vaultry program as a file
// library is: made by init, filled from an interchange file and written to one, byte for byte as
// a library file.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/dao/CDaoDatabase.h"
#include "platform/dao/CDaoRecordset.h"
#include "tests/apps/VaultryProgram.h"
#include "tests/support/TestPostgres.h"

namespace {

// The stored bytes of every part of the library of `tier`, by name.
std::map<std::string, std::string> StoredParts(const vaultry::test::VaultryProgram& program,
                                               const std::string& tier) {
    CDaoDatabase library;
    program.OpenLibrary(library, tier, true);
    CDaoRecordset parts(&library);
    parts.Open(dbOpenSnapshot,
               "SELECT o.strObjectName, b.blbBlob FROM tObjects o, tBlobs b "
               "WHERE b.lBlobID = o.lBlobID");
    std::map<std::string, std::string> stored;
    for (; !parts.IsEOF(); parts.MoveNext()) {
        const COleVariant blob = parts.GetFieldValue(1);
        const auto& bytes = blob.AsBytes();
        stored[parts.GetFieldValue(0).AsText().str()] = std::string(bytes.begin(), bytes.end());
    }
    return stored;
}

// The names whose bytes differ between `a` and `b`, or that only one holds; empty when equal.
std::string Differences(const std::map<std::string, std::string>& a,
                        const std::map<std::string, std::string>& b) {
    std::string names;
    for (const auto& [name, bytes] : a) {
        const auto other = b.find(name);
        names += other == b.end() || other->second != bytes ? name + " " : "";
    }
    for (const auto& [name, bytes] : b) {
        names += a.count(name) ? "" : name + " ";
    }
    return names;
}

}  // namespace

TEST(ServerLibraryTest, PartsMoveBetweenAFileAndAServerByteForByte) {
    VAULTRY_REQUIRE_POSTGRES(server);
    vaultry::test::VaultryProgram program;
    program.UseServerFor("corporate");
    const auto init = program.Run("init");
    ASSERT_EQ(init.status, 0) << init.output;
    EXPECT_NE(init.output.find("created " + program.Library("corporate")), std::string::npos);
    EXPECT_EQ(program.Run("init").output.find("created"), std::string::npos);  // made once

    // The same parts go into the server and into a file, and come out of each the same.
    const std::string fromMaster = program.File("master.xml");
    ASSERT_EQ(program.Run("export --category master -o " + fromMaster).status, 0);
    for (const char* tier : {"corporate", "user"}) {
        const auto import = program.Run("import " + fromMaster + " --into " + tier);
        ASSERT_EQ(import.status, 0) << import.output;
    }
    const auto onServer = StoredParts(program, "corporate");
    EXPECT_GT(onServer.size(), 10u);
    EXPECT_EQ(Differences(onServer, StoredParts(program, "user")), "");
    for (const char* tier : {"corporate", "user"}) {
        ASSERT_EQ(program
                      .Run(std::string("export --category ") + tier + " -o " +
                           program.File(std::string(tier) + ".xml"))
                      .status,
                  0);
    }
    // What the server gives out is what the file gives out, so it stores back as the same bytes.
    EXPECT_TRUE(vaultry::test::FileBytes(program.File("corporate.xml")) ==
                vaultry::test::FileBytes(program.File("user.xml")));

    EXPECT_EQ(program.Run("check").output, "no problems found\n");
}
