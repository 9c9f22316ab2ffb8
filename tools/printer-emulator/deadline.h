// A point in time that bounds every wait of the emulator, so a forgotten one still ends by
// itself.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>

class Deadline {
  public:
    static Deadline after_seconds(std::uint32_t seconds) {
        return Deadline(GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000u);
    }

    bool passed() const { return remaining_ms() == 0; }
    // What is left, ready to pass as a wait timeout: one below INFINITE at most, so a long
    // lifetime never turns into "forever".
    DWORD remaining_ms() const {
        const ULONGLONG now = GetTickCount64();
        return now >= at_tick_
                   ? 0
                   : static_cast<DWORD>(std::min<ULONGLONG>(at_tick_ - now, INFINITE - 1));
    }

  private:
    explicit Deadline(ULONGLONG at_tick) : at_tick_(at_tick) {}
    ULONGLONG at_tick_;
};
