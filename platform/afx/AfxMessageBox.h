#pragma once
// Message boxes go through one replaceable handler: the desktop program shows real windows,
// tests answer from a script, and the default writes the text to standard error and returns
// the box's default button (so a program without a user never waits).

#include <functional>

#include "platform/afx/CString.h"

using AfxMessageBoxHandler = std::function<int(const CString& text, UINT type, UINT helpId)>;

// Installs `handler` (an empty one restores the default) and returns the previous handler.
AfxMessageBoxHandler AfxSetMessageBoxHandler(AfxMessageBoxHandler handler);

// Shows `text`; returns the button chosen (IDOK, IDCANCEL, IDYES, IDNO).
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
// Shows string `id` of the current resource module.
int AfxMessageBox(UINT id, UINT type = MB_OK, UINT helpId = 0);

// The button a box of `type` has as its default (MB_DEFBUTTONn picks among its buttons).
int AfxDefaultButton(UINT type);

// Loads string `id` of the current resource module into `out` with "%1" replaced by `arg`.
void AfxFormatString1(CString& out, UINT id, const char* arg);
