#include "monotonic_clock.h"

#include <windows.h>

std::uint64_t monotonic_ms() {
    LARGE_INTEGER frequency{};
    LARGE_INTEGER counter{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    const auto ticks = static_cast<std::uint64_t>(counter.QuadPart);
    const auto per_second = static_cast<std::uint64_t>(frequency.QuadPart);
    if (per_second == 0) {
        return GetTickCount64();
    }
    // Split the division so the multiplication by 1000 cannot overflow.
    return ticks / per_second * 1000u + ticks % per_second * 1000u / per_second;
}
