// Finds out which mode a printer is in now.
#pragma once

#include "device/PrinterBackend.h"

#include <string>

// Tries the modes in order 0, 1, 2, asking in each whether the printer with `identity` (empty:
// any printer) answers. Returns the mode that answers and copies its display string into the
// buffer (at most nUsbStringSize - 1 characters and a terminator). When no mode answers it
// returns 0 and copies "Error opening USB": only the string tells that apart from native mode.
// *pFoundIdentity, when given, receives the identity of the printer that answered (empty when
// none did).
UsbType ProbeUsb(PrinterBackend& backend, const std::string& identity, char* pszUsbString,
                 int nUsbStringSize, std::string* pFoundIdentity = nullptr);

// Room callers give the display string.
constexpr int kUsbStringSize = 100;

// True when ProbeUsb's display string says that no printer answered.
bool IsProbeError(const char* pszUsbString);
