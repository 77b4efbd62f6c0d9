#pragma once
// A design opened in the desktop program: the parts of an interchange file (as "vaultry export"
// writes them) on a sheet of the reference host, which is the host's open design (the one the
// Database Manager's Add stores from) while it is open. The part named as the selection is
// selected on it.

#include <string>

#include "host/CDrwSubSheet.h"

namespace vaultry::manager {

struct DesignRequest {
    std::string file;
    std::string selection;  // the part standing for the current selection; empty for none
};

class OpenDesign {
public:
    // Throws cli::CommandError when the file cannot be read, holds no parts, or has no part
    // named as the selection. A design of several document types keeps the first part's; the
    // others are named on standard error and left out.
    explicit OpenDesign(const DesignRequest& request);
    ~OpenDesign();
    OpenDesign(const OpenDesign&) = delete;
    OpenDesign& operator=(const OpenDesign&) = delete;

    CDrwSubSheet& Sheet() { return m_sheet; }

private:
    CDrwSubSheet m_sheet;
};

// Runs the store dialog on what `sheet` offers, for the user library's top category, and
// stores what the user chose. The category stored into becomes the Database Manager's
// remembered place. 0 when stored; 1 on Cancel, or when the store was refused or failed (the
// user has been told why, and the library is as it was).
int StoreDesign(CDrwSubSheet& sheet);

}  // namespace vaultry::manager
