#pragma once
// The library windows on the starter libraries, pictured in the states a user meets: a browsing
// window made of the controls (category tree, type filter, part list) on every library, on one
// library, on a category whose parts the user may not change, filtered by name and by land
// pattern; previews with dimensions; the Database Manager and the select dialog.

#include <filesystem>

#include "host/CUnitInfo.h"
#include "resources/DatabaseType.h"

// Part `name` of the library of `tier` in a preview, with the dimensions a fresh dialog shows,
// in `unit`; false when it could not be read or saved.
bool SavePreview(DATABASETYPE tier, const char* name, CUnitInfo::Unit unit,
                 const std::filesystem::path& path);

// Makes the starter libraries in a folder of their own, saves the pictures into `folder` and
// says so on standard output; false when one could not be saved.
bool SaveControlGallery(const std::filesystem::path& folder);
