// The console's mode change.
#pragma once

#include "common/ProgressLine.h"
#include "device/PrinterBackend.h"
#include "modechange/ModeChangeSteps.h"

#include <string>

enum class ModeChangeResult { Changed, NoPrinter, Timeout, OtherMode };

// Probes the printer with `identity` (empty: whichever printer answers), sends it the command
// for `target`, waits for that same printer to restart in `target` and prints
// "Now set to <mode>". Without a printer it prints "Error opening USB" and sends nothing; when
// the printer does not come back in `target` within the wait's bound, or comes back in another
// mode, it says so. `pProgress`, when given, shows the wait as it goes on and is cleared before
// the result line.
ModeChangeResult SetUsbType(PrinterBackend& backend, const std::string& identity, UsbType target,
                            ProgressLine* pProgress = nullptr);
