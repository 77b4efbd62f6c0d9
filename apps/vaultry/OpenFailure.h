#pragma once
// Why the libraries did not open, in one line for the user: which library, where, what is wrong
// with the file, and what to do. The command line prints it; the desktop program shows it.

#include <functional>
#include <string>
#include <vector>

#include "platform/afx/CString.h"

class CSet;

namespace vaultry::cli {

// The first configured library that is not open, told by looking at its file. `told` holds the
// messages the libraries gave while opening, the first of which serves when the file itself
// looks sound. Call before the libraries are unloaded.
std::string WhyLibrariesNotOpened(const CSet& settings, const std::vector<CString>& told);

// Runs `open`, a loading of the libraries, with the message boxes they would show collected in
// `told` instead, so that a failure is said once; its result. The caller shows `told` when all
// went well.
bool OpenHoldingMessages(const std::function<bool()>& open, std::vector<CString>& told);

}  // namespace vaultry::cli
