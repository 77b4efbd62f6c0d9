#pragma once
// Just enough JSON for the command line's --json output: strings escaped, objects and arrays
// written by the caller.

#include <string>

namespace vaultry::cli {

// `text` (UTF-8) as a JSON string literal, quotes included.
std::string JsonString(const std::string& text);

}  // namespace vaultry::cli
