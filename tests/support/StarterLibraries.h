#pragma once
// The three libraries as a new installation has them, and a little more: the master library
// with its starter footprints, the corporate library with a copy of the QFN category, the user
// library with Resistors/SMD holding two copied chips and a Resistors/THT of its own. A window
// for the controls under test, shown, so that labels can be edited as a user would.

#include <sqlite3.h>

#include <memory>
#include <string>

#include "access/CMSAccessDBHandler.h"
#include "access/LibraryEditor.h"
#include "access/LibraryTree.h"
#include "access/RightsGate.h"
#include "apps/vaultry/StarterSet.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CWnd.h"
#include "tables/CRSUserTree.h"
#include "tests/support/OpenLibraries.h"

namespace vaultry::test {

class StarterLibraries : public FaultInjectedLibraries {
protected:
    void SetUp() override {
        FaultInjectedLibraries::SetUp();
        EnsureUiApplication();
        folder.Settings().SetStatusBar(nullptr);  // no progress shown
        master = GetAccessDB(DATABASETYPE_MASTER);
        corporate = GetAccessDB(DATABASETYPE_CORPORATE);
        RightsGate rights;
        folder.Host().SetMasterEditAllowed(true);
        LibraryEditor masterEditor(*master, rights);
        cli::FillStarterSet(masterEditor, 1);
        folder.Host().SetMasterEditAllowed(false);
        LibraryEditor(*corporate, rights).CopyCategory(*master, Category(master, "ICs/QFN"), 1);
        LibraryEditor userEditor(*user, rights);
        const long smd = userEditor.MakeCategoryPath(1, "Resistors/SMD");
        userEditor.MakeCategoryPath(1, "Resistors/THT");
        userEditor.CopyPart(*master, master->GetObjectID("R0603", "Footprint"), smd);
        userEditor.CopyPart(*master, master->GetObjectID("R0805", "Footprint"), smd);
        window.Create(nullptr, CRect{0, 0, 420, 360}, 0);
        window.Widget()->show();
    }

    // The category at `path` below the top category of `library` ("ICs/QFN").
    static long Category(CMSAccessDBHandler* library, const std::string& path) {
        const LibraryTree tree(*library);
        std::vector<std::string> elements{"top"};
        for (std::size_t start = 0; start <= path.size();) {
            const std::size_t end = std::min(path.find('/', start), path.size());
            elements.push_back(path.substr(start, end - start));
            start = end + 1;
        }
        const LibraryCategory* category = tree.FindPath(elements);
        return category ? category->id : -1;
    }

    // Makes user 5 of `library`, protected by a password, and gives it the rows `sql` picks.
    static void GiveToProtectedUser(CMSAccessDBHandler* library, const char* sql) {
        library->Execute(
            "INSERT INTO tUserTree (lUserID, strUserName, strPassword, bMayWrite) VALUES (5, "
            "'other', 'theirs', 1)");
        library->Execute(sql);
        library->GetRSUserTree()->Close();  // a set sees the rows added behind it once reopened
    }

    // Replaces the blob of part `objectID` of the user library with bytes that decode to
    // nothing, behind the library set's back.
    void DamageUserPart(long objectID) const {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(folder.PathOf(DATABASETYPE_USER).c_str(), &db), SQLITE_OK);
        const std::string sql =
            "UPDATE tBlobs SET blbBlob=X'0102', lBlobSize=2 WHERE lBlobID=(SELECT lBlobID FROM "
            "tObjects WHERE lObjectID=" +
            std::to_string(objectID) + ")";
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }

    // Protects `library`'s user 0, the current user, with `password`.
    static void ProtectCurrentUser(CMSAccessDBHandler* library, const char* password) {
        library->GetRSUserTree()->SetUserPassword(0, password);
        library->GetRSUserTree()->m_strEnteredPassword.Empty();
    }

    CMSAccessDBHandler* master = nullptr;
    CMSAccessDBHandler* corporate = nullptr;
    CWnd window;
};

}  // namespace vaultry::test
