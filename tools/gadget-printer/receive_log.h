// The gadget printer's log: one line per event, each starting with CLOCK_MONOTONIC in ms (the
// clock the guest's tests read too), flushed at once.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

std::uint64_t monotonic_ms();

class ReceiveLog {
  public:
    explicit ReceiveLog(const std::string& path); // empty: standard output
    ~ReceiveLog();
    ReceiveLog(const ReceiveLog&) = delete;
    ReceiveLog& operator=(const ReceiveLog&) = delete;

    void line(const std::string& text);
    void bytes(const std::string& endpoint, std::span<const std::uint8_t> data);

  private:
    std::FILE* file_;
};
