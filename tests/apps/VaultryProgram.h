#pragma once
// Runs the real vaultry program on libraries in a temporary folder, as a user or a script would.

#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace vaultry::test {

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
    // statuses in the same order.
    std::vector<int> RunTogether(const std::vector<std::string>& argumentLists);
    std::string File(const std::string& name) const { return m_dir.File(name); }
    // The libraries' folder of this program's settings.
    std::string Library(const std::string& tier) const {
        return m_dir.File("data/vaultry/" + tier + ".zblib");
    }

private:
    // The shell command that runs the program on this folder's libraries.
    std::string CommandLine(const std::string& arguments, const std::string& input,
                            const std::string& errors, const std::string& environment = "") const;

    TempDir m_dir;
};

}  // namespace vaultry::test
