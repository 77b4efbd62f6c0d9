#pragma once
// A browsing window made of the library controls (category tree, type filter, part list) on
// the starter libraries, pictured in the states a user meets: every library, one library, a
// category whose parts the user may not change, a list filtered by name.

#include <filesystem>

// Makes the starter libraries in a folder of their own, saves the pictures into `folder` as
// controls-*.png and says so on standard output; false when one could not be saved.
bool SaveControlGallery(const std::filesystem::path& folder);
