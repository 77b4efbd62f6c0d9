// The loadable extension that lets other SQLite tools read and check library files: without
// it the stock library refuses the text columns; with it they compare as the program compares.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "platform/dao/CDaoDatabase.h"
#include "tests/support/TempDir.h"

namespace {

// The first column of the rows `sql` gives, joined by spaces; the error text when it fails.
std::string Rows(sqlite3* db, const char* sql) {
    std::string rows;
    char* error = nullptr;
    const auto collect = [](void* out, int, char** values, char**) {
        auto& text = *static_cast<std::string*>(out);
        text += (text.empty() ? "" : " ") + std::string(values[0] ? values[0] : "NULL");
        return 0;
    };
    if (sqlite3_exec(db, sql, collect, &rows, &error) != SQLITE_OK) {
        rows = error;
        sqlite3_free(error);
    }
    return rows;
}

}  // namespace

TEST(JetTextExtensionTest, AnotherToolChecksAndComparesALibraryAsTheProgramDoes) {
    vaultry::test::TempDir dir;
    const std::string path = dir.File("lib.zblib");
    {
        CDaoDatabase library;
        library.Create(path.c_str(), dbLangGeneral);
        library.Execute("CREATE TABLE tNames (strName TEXT(255) COLLATE JETNOCASE)");
        library.Execute("CREATE INDEX ixName ON tNames (strName)");
        for (const char* name : {"'Résistance'", "'RESISTOR'", "'a*b'", "'axb'"}) {
            library.Execute((std::string("INSERT INTO tNames VALUES (") + name + ")").c_str());
        }
    }
    sqlite3* tool = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &tool), SQLITE_OK);
    EXPECT_EQ(Rows(tool, "PRAGMA integrity_check"), "no such collation sequence: JETNOCASE");
    ASSERT_EQ(sqlite3_enable_load_extension(tool, 1), SQLITE_OK);
    char* error = nullptr;
    ASSERT_EQ(sqlite3_load_extension(tool, VAULTRY_JETTEXT_EXTENSION, nullptr, &error), SQLITE_OK)
        << (error ? error : "");
    EXPECT_EQ(Rows(tool, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(Rows(tool, "SELECT strName FROM tNames WHERE strName='RÉSISTANCE'"), "Résistance");
    EXPECT_EQ(Rows(tool, "SELECT strName FROM tNames ORDER BY strName"),
              "a*b axb RESISTOR Résistance");  // é after every ASCII letter, as the program sorts
    EXPECT_EQ(Rows(tool, "SELECT strName FROM tNames WHERE jet_like('A[*]B', strName)"), "a*b");
    sqlite3_close(tool);
}
