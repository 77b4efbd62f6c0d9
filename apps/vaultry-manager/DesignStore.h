#pragma once
// A design opened in the desktop program: the parts of an interchange file (as "vaultry export"
// writes them) stand for the open design's parts, and one of them, when named, for its current
// selection. The store dialog decides what goes where; the parts are then stored in one
// transaction.

#include <string>

namespace vaultry::manager {

struct DesignRequest {
    std::string file;
    std::string selection;  // the part standing for the current selection; empty for none
};

// Runs the store dialog on the design and stores what the user chose. The category stored into
// becomes the Database Manager's remembered place. 0 when stored; 1 on Cancel, or when the store
// was refused or failed (the user has been told why, and the library is as it was). Throws
// cli::CommandError when the file cannot be read or the selection is not one of its parts.
int StoreDesign(const DesignRequest& request);

}  // namespace vaultry::manager
