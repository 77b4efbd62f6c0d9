#pragma once
// The library-file subcommands of the command line. Each returns the process exit status:
// 0 done, 1 refused or failed (with a one-line reason on standard error).

#include <ostream>
#include <string>
#include <vector>

class ReferenceHost;

namespace vaultry::cli {

// Makes a library file for `tier` ("master", "corporate" or "user") of `generation` (8 or 7).
int CreateLibraryCommand(const std::string& path, const std::string& tier, int generation);
// Prints the generation and the row count of each table of every file.
int InfoCommand(const std::vector<std::string>& paths, std::ostream& out);
// Makes the three configured libraries where they are missing, prints info on each and opens
// them through the library set.
int InitCommand(const std::string& configPath, std::ostream& out);
// Makes the libraries `host` configures that are missing (a new master one with the starter
// footprints), saying so on `out`, and opens the three through the library set. False, with
// the reason on standard error, when one could not be made, opened or filled; the set may then
// be partly open and is for the caller to unload.
bool MakeMissingLibraries(ReferenceHost& host, std::ostream& out);

}  // namespace vaultry::cli
