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
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::string result;
    if (length > 0) {
        std::vector<char> text(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        result.assign(text.data(), static_cast<std::size_t>(length));
    }
    va_end(args);
    return result;
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
