#pragma once
// The store dialog on the gallery's libraries, in both of its modes, and the small dialogs of a
// new part's type and of a destination.

#include <filesystem>

// Saves 2043-store-selection.png (a new footprint as one part, into the user's Chips) and
// 2043-store-design.png (a design's chips, one renamed as its name is taken) into `folder`.
// `chips` is the user library's Chips category.
bool SaveStoreDialogs(const std::filesystem::path& folder, long chips);
// Saves 6014-new-part.png and 6015-select-destination.png (on `chips`) into `folder`.
bool SaveChoiceDialogs(const std::filesystem::path& folder, long chips);
