// PathProbe.exe: opens one path the way a client of the printer does (read and write, shared,
// existing) and optionally writes bytes to it, so the emulator's own cases can check what it
// logs and what a client sees, without Orvane.
//   PathProbe.exe PATH [--write HEX | --pause-ms N | --bound-ms N]...
// Prints "open ok" or "open error N", then "write ok" or "write error N" per write.
// --bound-ms N opens the path with FILE_FLAG_OVERLAPPED and gives each write N ms; a write still
// pending then is cancelled and, once it ends as aborted, reported as "write timeout" (or
// "write timeout, cancel failed" if it did not end within two seconds; the probe stops there).
// Exits 0 when everything succeeded, 1 when something failed, 2 on bad arguments.
#include "number_argument.h"
#include "unique_handle.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

namespace {

constexpr std::uint32_t max_pause_ms = 60000;
constexpr DWORD cancel_bound_ms = 2000;

std::optional<int> hex_digit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return std::nullopt;
}

// "1F0B4E" -> {0x1F, 0x0B, 0x4E}
std::optional<std::vector<std::uint8_t>> bytes_from_hex(std::string_view text) {
    if (text.empty() || text.size() % 2 != 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const auto high = hex_digit(text[i]);
        const auto low = hex_digit(text[i + 1]);
        if (!high || !low) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(*high * 16 + *low));
    }
    return bytes;
}

int usage() {
    std::fprintf(stderr,
                 "usage: PathProbe.exe PATH [--write HEX | --pause-ms N | --bound-ms N]...\n");
    return 2;
}

enum class WriteResult { Ok, Failed, TimedOut, Stuck };

WriteResult write_bytes(HANDLE file, const std::vector<std::uint8_t>& bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)
               ? WriteResult::Ok
               : WriteResult::Failed;
}

// The write is given `bound_ms`; a write still pending then is cancelled, and the probe waits
// for the cancelled write to end before its buffer goes away.
WriteResult write_bytes_bounded(HANDLE file, const std::vector<std::uint8_t>& bytes,
                                DWORD bound_ms) {
    UniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!event.valid()) {
        return WriteResult::Failed;
    }
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.get();
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &overlapped) &&
        GetLastError() != ERROR_IO_PENDING) {
        return WriteResult::Failed;
    }
    const bool in_time = WaitForSingleObject(event.get(), bound_ms) == WAIT_OBJECT_0;
    if (!in_time) {
        CancelIoEx(file, &overlapped);
        if (WaitForSingleObject(event.get(), cancel_bound_ms) != WAIT_OBJECT_0) {
            return WriteResult::Stuck;
        }
    }
    // A write that completed just as it was cancelled still counts as done.
    DWORD written = 0;
    if (GetOverlappedResult(file, &overlapped, &written, FALSE)) {
        return WriteResult::Ok;
    }
    return !in_time && GetLastError() == ERROR_OPERATION_ABORTED ? WriteResult::TimedOut
                                                                 : WriteResult::Failed;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc % 2 != 0) {
        return usage();
    }
    // Check every argument before touching the path, so bad arguments have no effect.
    for (int i = 2; i < argc; i += 2) {
        const std::string_view option = argv[i];
        const bool valid = (option == "--write" && bytes_from_hex(argv[i + 1])) ||
                           ((option == "--pause-ms" || option == "--bound-ms") &&
                            parse_decimal(argv[i + 1], max_pause_ms));
        if (!valid) {
            return usage();
        }
    }
    std::optional<DWORD> bound_ms;
    for (int i = 2; i < argc; i += 2) {
        if (std::string_view(argv[i]) == "--bound-ms") {
            bound_ms = *parse_decimal(argv[i + 1], max_pause_ms);
        }
    }
    UniqueHandle file(CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  bound_ms ? FILE_FLAG_OVERLAPPED : 0, nullptr));
    if (!file.valid()) {
        std::printf("open error %lu\n", GetLastError());
        return 1;
    }
    std::printf("open ok\n");
    int status = 0;
    for (int i = 2; i < argc; i += 2) {
        const std::string_view option = argv[i];
        if (option == "--pause-ms") {
            Sleep(*parse_decimal(argv[i + 1], max_pause_ms));
            continue;
        }
        if (option != "--write") {
            continue;
        }
        const std::vector<std::uint8_t> bytes = *bytes_from_hex(argv[i + 1]);
        switch (bound_ms ? write_bytes_bounded(file.get(), bytes, *bound_ms)
                         : write_bytes(file.get(), bytes)) {
        case WriteResult::Ok:
            std::printf("write ok\n");
            continue;
        case WriteResult::Failed:
            std::printf("write error %lu\n", GetLastError());
            break;
        case WriteResult::TimedOut:
            std::printf("write timeout\n");
            break;
        case WriteResult::Stuck:
            // The pending write still owns its buffer: stop here, the exit ends it.
            std::printf("write timeout, cancel failed\n");
            std::fflush(stdout);
            ExitProcess(1);
        }
        status = 1;
    }
    return status;
}
