#pragma once
// The two things the desktop program does, on an open ManagerSession. Each returns the exit
// status of the program.

#include <ostream>
#include <string>

namespace vaultry::manager {

// Runs the Database Manager until the user closes it, with the sheets its New and Edit open
// in between; 0.
int ShowDatabaseManager();

// What the select dialog starts with: the document type asked for (empty: every type) and the
// name of a part to open on, in its category (empty: the category used last). A name no part
// carries is written into the name field as it stands.
struct SelectRequest {
    std::string docType;
    std::string name;
};

// Runs the select dialog. On OK prints the part taken as one line, its library's tier
// ("master", "corporate" or "user"), id, name and document type separated by tabs, and returns
// 0; on Cancel prints nothing and returns 1.
int SelectPart(const SelectRequest& request, std::ostream& out);

}  // namespace vaultry::manager
