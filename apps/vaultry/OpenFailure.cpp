#include "apps/vaultry/OpenFailure.h"

#include "access/CMSAccessDBHandler.h"
#include "access/LibraryFiles.h"
#include "access/LibrarySet.h"
#include "access/TierPaths.h"
#include "apps/vaultry/Session.h"
#include "platform/afx/AfxMessageBox.h"

namespace vaultry::cli {

std::string WhyLibrariesNotOpened(const CSet& settings, const std::vector<CString>& told) {
    for (const DATABASETYPE type :
         {DATABASETYPE_MASTER, DATABASETYPE_CORPORATE, DATABASETYPE_USER}) {
        if (GetAccessDB(type) != nullptr && GetAccessDB(type)->IsOpen()) {
            continue;
        }
        const CString path = ConfiguredLibraryPath(settings, type);
        const std::string which = std::string("the ") + TierName(type) + " library " + path.str();
        if (!LibraryFiles::Exists(path)) {
            return which + " is missing; run \"vaultry init\" to make it";
        }
        std::string reason = told.empty() ? "it could not be opened" : told.front().str();
        try {
            LibraryFiles::Inspect(path);
        } catch (const LibraryFiles::Unusable& unusable) {
            reason = unusable.what();
        }
        return which + ": " + reason +
               "; restore it from a backup, or move it away and run \"vaultry init\" to make a "
               "new one";
    }
    return "the libraries could not all be opened";
}

bool OpenHoldingMessages(const std::function<bool()>& open, std::vector<CString>& told) {
    const AfxMessageBoxHandler previous =
        AfxSetMessageBoxHandler([&told](const CString& text, UINT, UINT) {
            told.push_back(text);
            return IDOK;
        });
    const bool opened = open();
    AfxSetMessageBoxHandler(previous);
    return opened;
}

}  // namespace vaultry::cli
