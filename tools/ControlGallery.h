#pragma once
// The library windows on the starter libraries, pictured in the states a user meets: a browsing
// window made of the controls (category tree, type filter, part list) on every library, on one
// library, on a category whose parts the user may not change and filtered by name; previews
// with dimensions; the Database Manager and the select dialog.

#include <filesystem>

// Makes the starter libraries in a folder of their own, saves the pictures into `folder` and
// says so on standard output; false when one could not be saved.
bool SaveControlGallery(const std::filesystem::path& folder);
