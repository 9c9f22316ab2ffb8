// One line of progress on the standard error stream, redrawn in place while a wait goes on and
// cleared before the result is printed. It draws only where a person watches: when the stream
// is a console and the trace is not echoed onto it. Elsewhere it prints nothing at all, so
// scripts and logs see exactly the program's result lines.
#pragma once

#include <cstdio>
#include <string>

class ProgressLine {
  public:
    ProgressLine(std::FILE* stream, bool streamIsConsole);
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;
    ~ProgressLine();

    // Replaces the line's text.
    void Show(const std::string& text);
    // Removes the line, leaving the cursor at the start of an empty line.
    void Clear();
    bool Active() const { return m_active; }

  private:
    std::FILE* m_stream;
    bool m_active;
    std::size_t m_shown = 0; // length of the text on screen, 0 when none
};
