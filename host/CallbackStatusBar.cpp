#include "host/CallbackStatusBar.h"

void CallbackStatusBar::StartProgress(int lower, int upper) {
    m_progress = {lower, upper, lower, m_progress.text, true};
    m_callback(m_progress);
}

void CallbackStatusBar::SetCurrentPos(int position) {
    m_progress.position = position;
    m_callback(m_progress);
}

void CallbackStatusBar::SetPaneText(int pane, const char* text, bool) {
    if (pane == 0) {
        m_progress.text = text;
        m_callback(m_progress);
    }
}

void CallbackStatusBar::EndProgress() {
    m_progress.active = false;
    m_callback(m_progress);
}
