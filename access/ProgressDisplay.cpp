#include "access/ProgressDisplay.h"

#include "host/CKVStatusBar.h"
#include "host/CSet.h"

ProgressDisplay::ProgressDisplay(int total, bool shown, const CString& text)
    : m_bar(shown && GetSettings() ? GetSettings()->GetStatusBar() : nullptr) {
    if (m_bar == nullptr) {
        return;
    }
    m_bar->StartProgress(0, total);
    m_bar->SetCurrentPos(0);
    if (!text.IsEmpty()) {
        m_bar->SetPaneText(0, text, true);
    }
}

ProgressDisplay::~ProgressDisplay() {
    if (m_bar) {
        m_bar->EndProgress();
    }
}

void ProgressDisplay::Reached(int done) {
    if (m_bar) {
        m_bar->SetCurrentPos(done);
    }
}
