#include "deadline.h"

#include <algorithm>

Deadline Deadline::after_seconds(std::uint32_t seconds) {
    return Deadline(GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000u);
}

DWORD Deadline::remaining_ms() const {
    const ULONGLONG now = GetTickCount64();
    if (now >= at_tick_) {
        return 0;
    }
    // INFINITE is 0xFFFFFFFF; stay one below it so a long lifetime never turns into "forever".
    const ULONGLONG left = at_tick_ - now;
    return static_cast<DWORD>(std::min<ULONGLONG>(left, INFINITE - 1));
}
