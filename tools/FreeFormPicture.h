#pragma once
// A footprint read from KiCad's format with the pads that need the second part-data format
// (turned by odd angles, trapezoid, free-form, slotted, a bare hole), stored in the user library
// and pictured as the preview draws it after reading it back.

#include <filesystem>

// False when it could not be read, stored or saved.
bool SaveFreeFormPreview(const std::filesystem::path& folder);
