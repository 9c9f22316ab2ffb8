// PathProbe.exe: opens one path the way a client of the printer does (read and write, shared,
// existing) and optionally writes bytes to it, so the emulator's own cases can check what it
// logs and what a client sees, without Orvane.
//   PathProbe.exe PATH [--write HEX | --pause-ms N]...
// Prints "open ok" or "open error N", then "write ok" or "write error N" per write.
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
    std::fprintf(stderr, "usage: PathProbe.exe PATH [--write HEX | --pause-ms N]...\n");
    return 2;
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
                           (option == "--pause-ms" && parse_decimal(argv[i + 1], max_pause_ms));
        if (!valid) {
            return usage();
        }
    }
    UniqueHandle file(CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                  nullptr));
    if (!file.valid()) {
        std::printf("open error %lu\n", GetLastError());
        return 1;
    }
    std::printf("open ok\n");
    int status = 0;
    for (int i = 2; i < argc; i += 2) {
        if (std::string_view(argv[i]) == "--pause-ms") {
            Sleep(*parse_decimal(argv[i + 1], max_pause_ms));
            continue;
        }
        const std::vector<std::uint8_t> bytes = *bytes_from_hex(argv[i + 1]);
        DWORD written = 0;
        if (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                      nullptr)) {
            std::printf("write ok\n");
        } else {
            std::printf("write error %lu\n", GetLastError());
            status = 1;
        }
    }
    return status;
}
