#pragma once
// Runs the real vaultry program on libraries in a temporary folder, as a user or a script would.

#include <map>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

class CDaoDatabase;

namespace vaultry::test {

// The bytes of the file at `path`; empty when there is none.
std::string FileBytes(const std::string& path);

struct ProgramRun {
    int status;
    std::string output;  // standard output, then standard error
    std::string errors;  // standard error alone
};

class VaultryProgram {
public:
    // `arguments` go through the shell as written; `input` is the program's standard input.
    ProgramRun Run(const std::string& arguments, const std::string& input = "",
                   const std::string& environment = "");
    // Starts one program per entry of `argumentLists` at once and waits for all; their exit
    // statuses and standard errors (their standard output is dropped) in the same order.
    std::vector<ProgramRun> RunTogether(const std::vector<std::string>& argumentLists);
    std::string File(const std::string& name) const { return m_dir.File(name); }
    // Writes an interchange file of `count` copies of the starter footprint C0402, named
    // "<prefix>-0" and on, to File(prefix + ".xml"); its path. The libraries must exist.
    std::string PartsFile(const std::string& prefix, int count);
    // Puts the library of `tier` on the tests' PostgreSQL server (in a schema not made yet),
    // through the program's settings; before "init". The test must have made sure there is a
    // server.
    void UseServerFor(const std::string& tier);
    // Where the library of `tier` is: in the libraries' folder of this program's settings, or
    // on the server.
    std::string Library(const std::string& tier) const;
    // Opens the library of `tier` through the DAO layer, behind the program's back, as another
    // tool would (its text columns need the collation only that layer registers).
    void OpenLibrary(CDaoDatabase& library, const std::string& tier, bool readOnly = false) const;

private:
    // The shell command that runs the program on this folder's libraries.
    std::string CommandLine(const std::string& arguments, const std::string& input,
                            const std::string& errors, const std::string& environment = "") const;

    TempDir m_dir;
    std::map<std::string, std::string> m_serverLibraries;  // by tier
    std::string m_onePart;  // the interchange file of C0402 alone, once exported
};

}  // namespace vaultry::test
