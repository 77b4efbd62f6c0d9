#include <gtest/gtest.h>

#include <filesystem>

#include "host/CSafeStartAndEndElement.h"
#include "platform/dao/CDaoDatabase.h"
#include "platform/dao/CDaoRecordset.h"
#include "serial/CDBArchive.h"
#include "tests/support/TempDir.h"

namespace {

// "name:parent-name" per element row, in id order.
std::vector<std::string> Rows(const std::string& path) {
    CDaoDatabase database;
    database.Open(path.c_str());
    CDaoRecordset rows(&database);
    rows.Open(dbOpenSnapshot,
              "SELECT e.ElementName, p.ElementName FROM Elements e LEFT JOIN Elements p ON "
              "p.ElementID=e.ElementParent ORDER BY e.ElementID");
    std::vector<std::string> result;
    for (; !rows.IsEOF(); rows.MoveNext()) {
        result.push_back(rows.GetFieldValue(0).AsText().str() + ":" +
                         rows.GetFieldValue(1).AsText().str());
    }
    return result;
}

}  // namespace

TEST(CDBArchiveTest, ElementsNestAsRowsUnderTheirParents) {
    vaultry::test::TempDir dir;
    CString path = dir.File("tree.db").c_str();
    {
        CDBArchive archive{CPathString(path)};
        archive.SetDBName(path);
        EXPECT_FALSE(archive.OpenDB(false));
        EXPECT_FALSE(std::filesystem::exists(path.str()));
        ASSERT_TRUE(archive.OpenDB(true));
        EXPECT_FALSE(archive.OpenDB(true));
        EXPECT_FALSE(archive.CreateDB());
        {
            CSafeStartAndEndElement part(archive, "Part");
            archive.WriteAttribute("Name", CString("ignored"));
            archive.PushElement("Pushed");  // neither a row nor a move
            archive.WriteIndentation();
            { CSafeStartAndEndElement pad(archive, "Pad"); }
            { CSafeStartAndEndElement line(archive, "Line's"); }
        }
        { CSafeStartAndEndElement other(archive, "Other"); }
        EXPECT_TRUE(archive.CloseDB());
        EXPECT_TRUE(archive.CloseDB());
    }
    EXPECT_EQ(Rows(path.str()), (std::vector<std::string>{"Document:", "Part:Document", "Pad:Part",
                                                          "Line's:Part", "Other:Document"}));
    CDaoDatabase database;
    database.Open(path);
    CDaoRecordset attributes(&database);
    attributes.Open(dbOpenSnapshot, "SELECT Count(*) FROM Attributes");
    EXPECT_EQ(attributes.GetFieldValue(0).AsInt64(), 0);

    CDBArchive reopened{CPathString(path)};
    reopened.SetDBName(path);
    ASSERT_TRUE(reopened.OpenDB(false));
    { CSafeStartAndEndElement more(reopened, "More"); }
    reopened.CloseDB();
    EXPECT_EQ(Rows(path.str()).back(), "More:Document");
}
