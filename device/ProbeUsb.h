// Finds out which mode a printer is in now.
#pragma once

#include "device/PrinterBackend.h"

#include <optional>
#include <string>

struct ProbeResult {
    UsbType mode = IDNATIVETYPE;
    const char* text = nullptr; // the mode's display string
    std::string identity;       // the printer that answered
};

// Tries the modes in the probe's order, asking in each whether the printer meant answers, and
// traces the result. nullopt when no mode answers.
std::optional<ProbeResult> ProbeMode(PrinterBackend& backend, const PrinterTarget& printer);

// The same probe with its answer as a mode and a display string copied into the caller's
// buffer (at most nUsbStringSize - 1 characters and a terminator). When no mode answers it
// returns 0 and copies "Error opening USB": only the string tells that apart from native mode.
UsbType ProbeUsb(PrinterBackend& backend, const PrinterTarget& printer, char* pszUsbString,
                 int nUsbStringSize);

// Room callers give the display string.
constexpr int kUsbStringSize = 100;
