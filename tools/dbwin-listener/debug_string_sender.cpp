// DebugStringSender.exe: sends known strings through OutputDebugStringA, so the listener can
// be checked against exactly what was sent.
//   --line TEXT   sends TEXT followed by a newline
//   --fill N      sends N characters "0123456789..." followed by a newline
#include "number_argument.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace {

constexpr std::uint32_t max_fill = 1u << 20;

std::string filled_line(std::uint32_t length) {
    std::string line;
    line.reserve(length + 1);
    for (std::uint32_t i = 0; i < length; ++i) {
        line += static_cast<char>('0' + i % 10);
    }
    return line + "\n";
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (i + 1 == argc || (option != "--line" && option != "--fill")) {
            std::fprintf(stderr, "usage: DebugStringSender.exe (--line TEXT | --fill N)...\n");
            return 2;
        }
        const std::string_view value = argv[++i];
        if (option == "--line") {
            OutputDebugStringA((std::string(value) + "\n").c_str());
            continue;
        }
        const auto length = parse_decimal(value, max_fill);
        if (!length) {
            std::fprintf(stderr, "DebugStringSender: bad length '%s'\n", argv[i]);
            return 2;
        }
        OutputDebugStringA(filled_line(*length).c_str());
    }
    return 0;
}
