#include "common/ConsoleOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
int gOutputError = 0; // the first error of a line to standard output; 0: none
} // namespace

// C stdio rather than iostreams: the same standard streams, without pulling the locale
// machinery of iostreams into a statically linked executable.
void PrintLine(const std::string& line) {
    errno = 0;
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    // The stream's error flag, not the flush's result: a Windows C runtime reports a flush
    // that the system refused as done, and only sets the flag.
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        if (gOutputError == 0) {
            gOutputError = errno != 0 ? errno : EIO;
        }
        std::clearerr(stdout);
    }
}

void PrintErrorLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

std::optional<std::string> TakeOutputFailure() {
    if (gOutputError == 0) {
        return std::nullopt;
    }
    const std::string why = std::strerror(gOutputError);
    gOutputError = 0;
    return why;
}
