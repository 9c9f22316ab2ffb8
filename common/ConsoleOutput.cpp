#include "common/ConsoleOutput.h"

#include <cstdio>

// C stdio rather than iostreams: the same standard streams, without pulling the locale
// machinery of iostreams into a statically linked executable.
void PrintLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void PrintErrorLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}
