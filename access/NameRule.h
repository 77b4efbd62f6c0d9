#pragma once
// What the name of a part or a category may be. Any text of 1 to 255 characters that is not
// blank and holds no control character (U+0000 to U+001F, U+007F): quotes, wildcard and
// bracket characters, backslashes, emoji and right-to-left text are kept byte for byte. Control
// characters are refused because lists and files that show names (the tab-separated output of
// the command line, XML) cannot carry them; the length is the file's own limit.

#include "platform/afx/CString.h"

inline constexpr int kMaxNameLength = 255;

// Why `name` cannot be a name, for the user; empty when it can.
CString WhyNotAName(const CString& name);
// Throws ChangeRefused (kInvalid) saying why when `name` cannot be a name.
void RequireValidName(const CString& name);
