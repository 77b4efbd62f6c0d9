#pragma once
// The library file the host's settings name for each tier.

#include "platform/afx/CString.h"
#include "resources/DatabaseType.h"

class CSet;

// The configured path of `type`: master, corporate, or (any other) the user library.
CString ConfiguredLibraryPath(const CSet& settings, DATABASETYPE type);
// Stores `path` as the configured path of `type`.
void StoreLibraryPath(CSet& settings, DATABASETYPE type, const CString& path);
