#include "common/DebugTrace.h"

#include "platform/win32.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {
std::string FormatArgs(const char* format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0) {
        return {};
    }
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    return std::string(text.data(), static_cast<std::size_t>(length));
}
} // namespace

std::string FormatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = FormatArgs(format, args);
    va_end(args);
    return text;
}

void DebugTrace(const char* label, const std::string& text, std::source_location where) {
    const std::string line =
        FormatText("%s(%d) %s\n", label, static_cast<int>(where.line()), text.c_str());
    OutputDebugStringA(line.c_str());
}

void DebugTraceRaw(const char* text) {
    OutputDebugStringA(text);
}
