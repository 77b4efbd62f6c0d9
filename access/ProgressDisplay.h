#pragma once
// The progress of a long run on the host's status bar, when the host has one; the display ends
// when this object goes, however the run ends. A display made while another shows is the
// progress of a step of that run and shows nothing.

#include "platform/afx/CString.h"

class CKVStatusBar;

class ProgressDisplay {
public:
    // A range from 0 to `total`, at 0, with `text` in the first pane when it is not empty.
    // Nothing is shown when `shown` is false.
    explicit ProgressDisplay(int total, bool shown = true, const CString& text = CString());
    ~ProgressDisplay();
    ProgressDisplay(const ProgressDisplay&) = delete;
    ProgressDisplay& operator=(const ProgressDisplay&) = delete;

    void Reached(int done);

private:
    CKVStatusBar* m_bar;  // the host's, not owned; null when nothing is shown
};
