// A point in time that bounds every wait of a tool, so a forgotten tool still ends by itself.
#pragma once

#include <windows.h>

#include <cstdint>

class Deadline {
  public:
    static Deadline after_seconds(std::uint32_t seconds);

    bool passed() const { return remaining_ms() == 0; }
    // What is left, ready to pass as a wait timeout; never INFINITE.
    DWORD remaining_ms() const;

  private:
    explicit Deadline(ULONGLONG at_tick) : at_tick_(at_tick) {}
    ULONGLONG at_tick_;
};
