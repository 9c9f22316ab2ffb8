#include "common/ProgressLine.h"

#include "common/DebugTrace.h"

ProgressLine::ProgressLine(std::FILE* stream, bool streamIsConsole)
    : m_stream(stream), m_active(streamIsConsole && !TraceEchoed()) {}

ProgressLine::~ProgressLine() {
    Clear();
}

void ProgressLine::Show(const std::string& text) {
    if (!m_active) {
        return;
    }
    // Pad over what a longer previous text left on the line.
    std::string line(1, '\r');
    line += text;
    if (text.size() < m_shown) {
        line.append(m_shown - text.size(), ' ');
    }
    std::fputs(line.c_str(), m_stream);
    std::fflush(m_stream);
    m_shown = text.size();
}

void ProgressLine::Clear() {
    if (!m_active || m_shown == 0) {
        return;
    }
    std::string blank(m_shown + 2, ' ');
    blank.front() = '\r';
    blank.back() = '\r';
    std::fputs(blank.c_str(), m_stream);
    std::fflush(m_stream);
    m_shown = 0;
}
