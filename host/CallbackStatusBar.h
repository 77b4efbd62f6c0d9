#pragma once
// A status bar that reports to a callback: the range, each position and the pane text, for
// hosts (and tests) that show progress their own way.

#include <functional>

#include "host/CKVStatusBar.h"

class CallbackStatusBar : public CKVStatusBar {
public:
    struct Progress {
        int lower = 0;
        int upper = 0;
        int position = 0;
        CString text;
        bool active = false;
    };
    using Callback = std::function<void(const Progress&)>;

    explicit CallbackStatusBar(Callback callback) : m_callback(std::move(callback)) {}

    void StartProgress(int lower, int upper) override;
    void SetCurrentPos(int position) override;
    void SetPaneText(int pane, const char* text, bool update) override;
    void EndProgress() override;

private:
    Callback m_callback;
    Progress m_progress;
};
