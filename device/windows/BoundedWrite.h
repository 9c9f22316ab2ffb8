// A write to the printer's command pipe that cannot hang. A printer that stops taking bytes
// (its buffer full, its cover open, offline) would hold a plain WriteFile for ever; the pipe is
// opened overlapped instead, and a write that does not finish in time is cancelled.
#pragma once

#include "platform/win32.h"

#include <cstddef>
#include <cstdint>

// Writes `count` bytes to `hFile`, a handle opened with FILE_FLAG_OVERLAPPED, waiting at most
// `timeoutMs` for them to go. True when the write completed. A write that runs out of time is
// cancelled and fails; once this returns, nothing is pending on the handle.
bool WriteWithin(HANDLE hFile, const std::uint8_t* bytes, std::size_t count,
                 std::uint32_t timeoutMs);

// How long a cancelled write may take to give up before it is left to the system.
constexpr std::uint32_t kCancelGraceMs = 1000;
