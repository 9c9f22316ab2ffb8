// Finds out which mode the printer is in now.
#pragma once

#include "device/UsbType.h"

// Tries the modes in order 0, 1, 2 by opening the printer's "PIPE00" in each. Returns the
// mode that answers and copies its display string into the buffer (at most
// nUsbStringSize - 1 characters and a terminator). When no mode answers it returns 0 and
// copies "Error opening USB": only the string tells that apart from native mode.
UsbType ProbeUsb(char* pszUsbString, int nUsbStringSize);

// Room callers give the display string.
constexpr int kUsbStringSize = 100;

// True when ProbeUsb's display string says that no printer answered.
bool IsProbeError(const char* pszUsbString);
