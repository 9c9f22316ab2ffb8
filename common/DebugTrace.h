// Diagnostic trace on the debugger channel. Every line reads "<label>(<source line>) <text>\n";
// the source line is the line of the trace statement. Lines are built at the length they
// need, so long device paths arrive whole.
#pragma once

#include <source_location>
#include <string>

void DebugTrace(const char* label, const std::string& text,
                std::source_location where = std::source_location::current());

// Sends a text as it is, without label or line number.
void DebugTraceRaw(const char* text);

// printf-style formatting into a string of the length the result needs.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
