#include "common/windows/Win32Clock.h"

#include "platform/win32.h"

std::uint64_t Win32Clock::NowMs() {
    return GetTickCount64();
}

void Win32Clock::SleepMs(std::uint32_t ms) {
    Sleep(ms);
}
