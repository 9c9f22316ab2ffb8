// The console's mode switches, NATIVE, PRINTERCLASS and COMMCLASS, and every line a change
// shows on the console.
#pragma once

#include "app/CommandLine.h"
#include "app/ConsoleContext.h"
#include "app/PrinterSelection.h"
#include "common/ProgressLine.h"
#include "modechange/ModeChange.h"

// Carries out the one mode switch in `flags` on the selected printer: reports a mode that is
// already active, or changes to it. With several printers and none chosen it sends nothing and
// asks for a choice. Returns the exit code.
int RunModeSwitch(ConsoleContext& context, const SwitchFlags& flags,
                  const PrinterSelection& selection);

// The console's change: runs it on `printer` and prints its result: "Now set to <mode>" (and,
// in comm class mode, the virtual port), or why not. `pProgress`, when given, shows the wait
// as it goes on and is cleared before the result line.
ChangeOutcome SetUsbType(PrinterBackend& backend, const PrinterTarget& printer, UsbType target,
                         ProgressLine* pProgress = nullptr);
