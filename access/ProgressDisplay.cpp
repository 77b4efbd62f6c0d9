#include "access/ProgressDisplay.h"

#include "host/CKVStatusBar.h"
#include "host/CSet.h"

namespace {

// The bar has one range: while a display shows a run, the steps of that run show nothing.
bool g_barInUse = false;

}  // namespace

ProgressDisplay::ProgressDisplay(int total, bool shown, const CString& text)
    : m_bar(shown && !g_barInUse && GetSettings() ? GetSettings()->GetStatusBar() : nullptr) {
    if (m_bar == nullptr) {
        return;
    }
    g_barInUse = true;
    m_bar->StartProgress(0, total);
    m_bar->SetCurrentPos(0);
    if (!text.IsEmpty()) {
        m_bar->SetPaneText(0, text, true);
    }
}

ProgressDisplay::~ProgressDisplay() {
    if (m_bar) {
        m_bar->EndProgress();
        g_barInUse = false;
    }
}

void ProgressDisplay::Reached(int done) {
    if (m_bar) {
        m_bar->SetCurrentPos(done);
    }
}
