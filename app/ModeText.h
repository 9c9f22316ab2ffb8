// A printer's mode as the faces show it: its display string, in comm class mode followed by
// " = " and the port when the lookup found it.
#pragma once

#include "device/PrinterBackend.h"

#include <string>

struct ModeText {
    std::string text;
    std::string problem; // what the port lookup had to say instead of a port, if anything
};

// `port` is consulted only in comm class mode.
ModeText ShowMode(UsbType mode, const PortLookup& port);
