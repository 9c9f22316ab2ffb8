// Diagnostic trace. Every line reads "<label>(<source line>) <text>\n"; the source line is the
// line of the trace statement. Lines are built at the length they need, so long device paths
// arrive whole. Where the lines go is the system's business: the program installs a sink at
// start-up (the debugger channel on Windows); without one they are dropped.
#pragma once

#include <string>

class TraceSink {
  public:
    virtual ~TraceSink() = default;
    virtual void Send(const char* text) = 0;
};

// Installs the sink that receives every trace line; returns the one it replaces.
TraceSink* InstallTraceSink(TraceSink* sink);

// When on, every trace line is also written to the standard error stream as it is sent.
void EchoTraceToStderr(bool echo);
bool TraceEchoed();

// `line` defaults to the line of the call (a builtin of g++ and clang alike).
void DebugTrace(const char* label, const std::string& text, int line = __builtin_LINE());

// Sends a text as it is, without label or line number.
void DebugTraceRaw(const char* text);

// printf-style formatting into a string of the length the result needs.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
