// The clock on Windows: the tick count and Sleep.
#pragma once

#include "common/Clock.h"

class Win32Clock : public Clock {
  public:
    std::uint64_t NowMs() override;
    void SleepMs(std::uint32_t ms) override;
};
