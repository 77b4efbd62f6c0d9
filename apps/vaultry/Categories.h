#pragma once
// The categories as the command line names them: by id within a tier, or by path from the top,
// "User/Resistors/SMD", where the first element is the top category's name or the tier's
// ("user/Resistors/SMD"). Names compare ignoring case, as everywhere in the libraries.

#include <optional>
#include <string>

#include "resources/DatabaseType.h"

namespace vaultry::cli {

class Session;

// A category of some tier.
struct CategoryRef {
    DATABASETYPE type = DATABASETYPE_USER;
    long id = 0;
};

// `text` is an id (in `tier`, the user tier when empty) or a path whose first element names
// the tier. Throws CommandError when nothing matches.
CategoryRef ResolveCategory(Session& session, const std::string& text, const std::string& tier);

// Whether `text` is an id as the command line takes one: digits only.
bool IsNumber(const std::string& text);
// The id `text` (IsNumber) gives; none when it is beyond any id a library has.
std::optional<long> IdOf(const std::string& text);

// "User/Resistors/SMD".
std::string PathOf(Session& session, const CategoryRef& category);

}  // namespace vaultry::cli
