// Diagnostic trace on the debugger channel. Every line reads "<label>(<source line>) <text>\n";
// the source line is the line of the trace statement. Lines are built at the length they
// need, so long device paths arrive whole.
#pragma once

#include <string>

// `line` defaults to the line of the call (a builtin of g++ and clang alike).
void DebugTrace(const char* label, const std::string& text, int line = __builtin_LINE());

// Sends a text as it is, without label or line number.
void DebugTraceRaw(const char* text);

// printf-style formatting into a string of the length the result needs.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
