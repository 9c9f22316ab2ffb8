// Milliseconds on the system's performance counter: one clock for every tool's log lines, so
// times from different processes can be subtracted.
#pragma once

#include <cstdint>

std::uint64_t monotonic_ms();
