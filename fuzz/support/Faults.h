// Errors that an injected fault makes a Win32 call fail with.
#pragma once

#include "platform/win32.h"

#include <cstdint>

// One of a few errors that the code treats differently, chosen by the low bits of `selector`.
DWORD FaultError(std::uint8_t selector);
