#include "host/ConsoleStatusBar.h"

#include <unistd.h>

ConsoleStatusBar::ConsoleStatusBar(std::FILE* stream)
    : m_stream(stream), m_interactive(::isatty(::fileno(stream)) != 0) {}

void ConsoleStatusBar::StartProgress(int lower, int upper) {
    m_active = true;
    m_lower = lower;
    m_upper = upper;
    m_position = lower;
    m_lastTenth = -1;
    Draw();
}

void ConsoleStatusBar::SetCurrentPos(int position) {
    m_position = position;
    Draw();
}

void ConsoleStatusBar::SetPaneText(int pane, const char* text, bool) {
    if (pane == 0) {
        m_text = text;
        Draw();
    }
}

void ConsoleStatusBar::EndProgress() {
    if (m_active && m_interactive) {
        std::fputc('\n', m_stream);
    }
    m_active = false;
}

void ConsoleStatusBar::Draw() {
    if (!m_active) {
        return;
    }
    const int span = m_upper > m_lower ? m_upper - m_lower : 1;
    const int percent = 100 * (m_position - m_lower) / span;
    if (m_interactive) {
        std::fprintf(m_stream, "\r%3d%% %s\033[K", percent, m_text.GetString());
    } else if (percent / 10 != m_lastTenth) {
        m_lastTenth = percent / 10;
        std::fprintf(m_stream, "%3d%% %s\n", percent, m_text.GetString());
    }
    std::fflush(m_stream);
}
