#include "common/DebugTrace.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {
TraceSink* gSink = nullptr;
bool gEcho = false;
} // namespace

TraceSink* InstallTraceSink(TraceSink* sink) {
    TraceSink* previous = gSink;
    gSink = sink;
    return previous;
}

void EchoTraceToStderr(bool echo) {
    gEcho = echo;
}

bool TraceEchoed() {
    return gEcho;
}

std::string FormatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (length <= 0) {
        return {};
    }
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    va_start(args, format);
    std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    return std::string(text.data(), static_cast<std::size_t>(length));
}

void DebugTrace(const char* label, const std::string& text, int line) {
    const std::string traceLine = FormatText("%s(%d) %s\n", label, line, text.c_str());
    DebugTraceRaw(traceLine.c_str());
}

void DebugTraceRaw(const char* text) {
    if (gSink != nullptr) {
        gSink->Send(text);
    }
    if (gEcho) {
        std::fputs(text, stderr);
        std::fflush(stderr);
    }
}
