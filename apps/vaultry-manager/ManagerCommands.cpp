#include "apps/vaultry-manager/ManagerCommands.h"

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "access/PartListing.h"
#include "apps/vaultry/Session.h"
#include "dialogs/CSelectObjectDlg.h"
#include "dialogs/PartSheets.h"

namespace vaultry::manager {

// New and Edit close the Database Manager for the sheet they open; once the user has closed
// every sheet, the Database Manager comes back.
int ShowDatabaseManager() {
    PartSheets sheets;
    for (;;) {
        CMSAccessDBHandler::DatabaseManager();
        if (!sheets.AnyShown()) {
            return 0;
        }
        sheets.WaitWhileShown();
    }
}

namespace {

// The part of that name (case ignored) and type the part lists would show first: the user's
// own before the corporate and the master one.
std::optional<PartEntry> PartNamed(const SelectRequest& request) {
    PartQuery query;
    query.name = request.name.c_str();
    query.docTypes = request.docType.c_str();
    for (PartEntry& entry : ListParts(query)) {
        if (entry.name.CompareNoCase(request.name.c_str()) == 0) {
            return std::move(entry);
        }
    }
    return std::nullopt;
}

}  // namespace

int SelectPart(const SelectRequest& request, std::ostream& out) {
    CSelectObjectDlg dialog;
    const auto named = request.name.empty() ? std::nullopt : PartNamed(request);
    if (named) {
        dialog.StartIn(named->tier, named->category);
        dialog.Init(request.docType.c_str(), named->id);
    } else {
        dialog.Init(request.docType.c_str(), CString(request.name.c_str()));
    }
    if (dialog.DoModal() != IDOK || dialog.GetLastLoadedID() < 0) {
        return 1;
    }
    CMSAccessDBHandler* library = GetAccessDB(dialog.GetLastLoadedTier());
    const auto part = library ? FindPart(*library, dialog.GetLastLoadedID()) : std::nullopt;
    if (!part) {
        return 1;
    }
    out << cli::TierName(part->tier) << '\t' << part->id << '\t' << part->name.str() << '\t'
        << dialog.GetObjectDocType().str() << '\n';
    return 0;
}

}  // namespace vaultry::manager
