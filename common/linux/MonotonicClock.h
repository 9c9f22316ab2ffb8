// The clock on Linux: CLOCK_MONOTONIC, which no change of the wall clock moves.
#pragma once

#include "common/Clock.h"

class MonotonicClock : public Clock {
  public:
    std::uint64_t NowMs() override;
    // Sleeps until a deadline on the same clock, so a signal that interrupts the sleep
    // neither shortens nor lengthens it.
    void SleepMs(std::uint32_t ms) override;
};
