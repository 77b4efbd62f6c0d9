#pragma once
// The host's status bar as the library module uses it: a progress bar and a text pane.

#include "platform/afx/CString.h"

class CKVStatusBar {
public:
    virtual ~CKVStatusBar() = default;
    virtual void StartProgress(int lower, int upper) = 0;
    virtual void SetCurrentPos(int position) = 0;
    virtual void SetPaneText(int pane, const char* text, bool update) = 0;
    virtual void EndProgress() = 0;
};
