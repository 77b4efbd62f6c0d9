#pragma once
// The reference host's status bar for programs without a window: progress and pane text go to
// a stream as one line that is rewritten in place (when the stream is a terminal) or as plain
// lines at each tenth of the way (otherwise), so long work is visible either way.

#include <cstdio>

#include "host/CKVStatusBar.h"

class ConsoleStatusBar : public CKVStatusBar {
public:
    // `stream` is not owned.
    explicit ConsoleStatusBar(std::FILE* stream);

    void StartProgress(int lower, int upper) override;
    void SetCurrentPos(int position) override;
    void SetPaneText(int pane, const char* text, bool update) override;
    void EndProgress() override;

private:
    void Draw();

    std::FILE* m_stream;
    bool m_interactive;
    bool m_active = false;
    int m_lower = 0;
    int m_upper = 0;
    int m_position = 0;
    int m_lastTenth = -1;
    CString m_text;
};
