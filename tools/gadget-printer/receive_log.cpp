#include "receive_log.h"

#include "hex_bytes.h"

#include <ctime>
#include <stdexcept>

std::uint64_t monotonic_ms() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000 +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000000;
}

ReceiveLog::ReceiveLog(const std::string& path)
    : file_(path.empty() ? stdout : std::fopen(path.c_str(), "a")) {
    if (file_ == nullptr) {
        throw std::runtime_error("cannot open the log " + path);
    }
}

ReceiveLog::~ReceiveLog() {
    if (file_ != stdout) {
        std::fclose(file_);
    }
}

void ReceiveLog::line(const std::string& text) {
    std::fprintf(file_, "%llu %s\n", static_cast<unsigned long long>(monotonic_ms()), text.c_str());
    std::fflush(file_);
}

void ReceiveLog::bytes(const std::string& endpoint, std::span<const std::uint8_t> data) {
    line("read " + endpoint + " " + hex_bytes(data));
}
