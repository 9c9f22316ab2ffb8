// Time as the restart wait and the command pause see it: a millisecond clock and a sleep. The
// system supplies it; tests supply a virtual one, so a two-minute wait takes no time.
#pragma once

#include <cstdint>

class Clock {
  public:
    virtual ~Clock() = default;
    // Milliseconds from an arbitrary start; never goes back.
    virtual std::uint64_t NowMs() = 0;
    virtual void SleepMs(std::uint32_t ms) = 0;
};
