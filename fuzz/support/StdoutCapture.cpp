#include "support/StdoutCapture.h"

#include "support/Require.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
int gFile = -1;
}

void CaptureStdout() {
    if (gFile >= 0) {
        return;
    }
    char name[] = "/tmp/orvane-fuzz-stdout-XXXXXX";
    const int fd = mkstemp(name);
    Require(fd >= 0, "cannot make a temporary file for standard output");
    unlink(name);
    // Appending: after a truncation the next write lands at the start again.
    Require(fcntl(fd, F_SETFL, O_APPEND) == 0, "cannot set O_APPEND");
    std::fflush(stdout);
    Require(dup2(fd, STDOUT_FILENO) == STDOUT_FILENO, "cannot redirect standard output");
    close(fd);
    gFile = STDOUT_FILENO;
}

void ClearCapturedStdout() {
    std::fflush(stdout);
    Require(ftruncate(gFile, 0) == 0, "cannot truncate captured standard output");
}

std::string CapturedStdout() {
    std::fflush(stdout);
    struct stat info {};
    Require(fstat(gFile, &info) == 0, "cannot size captured standard output");
    std::string text(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t got =
            pread(gFile, text.data() + done, text.size() - done, static_cast<off_t>(done));
        Require(got > 0, "cannot read captured standard output");
        done += static_cast<std::size_t>(got);
    }
    return text;
}

bool HasLine(const std::string& text, const std::string& line) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        if (text.compare(start, end - start, line) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}
