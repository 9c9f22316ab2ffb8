// The console's mode change.
#pragma once

#include "device/UsbType.h"

enum class ModeChangeResult { Changed, NoPrinter, Timeout };

// Probes the printer, sends it the command for `target`, waits for its restart and prints
// "Now set to <mode>". Without a printer it prints "Error opening USB" and sends nothing;
// when the printer does not come back in `target` within the wait's bound it says so.
ModeChangeResult SetUsbType(UsbType target);
