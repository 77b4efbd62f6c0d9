#pragma once
// Pictures of windows for the screenshot program, each announced on standard output.

#include <filesystem>
#include <functional>

class CDialog;
class CWnd;

// Shows `dialog`, lets `prepare` put it in the state pictured, saves it to `path`, cancels it.
bool PictureDialog(CDialog& dialog, const std::filesystem::path& path,
                   const std::function<void(CDialog&)>& prepare);
// Saves `window` as it is now to `path`.
bool PictureWindow(const CWnd& window, const std::filesystem::path& path);
