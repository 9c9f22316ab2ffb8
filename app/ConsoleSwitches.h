// The console's mode switches: NATIVE, PRINTERCLASS and COMMCLASS.
#pragma once

#include "app/CommandLine.h"
#include "app/ConsoleContext.h"
#include "app/PrinterSelection.h"

// Carries out the one mode switch in `flags` on the selected printer: reports a mode that is
// already active, or changes to it and, after a change to comm class mode, reports the virtual
// port. With several printers and none chosen it sends nothing and asks for a choice. Returns
// the exit code.
int RunModeSwitch(ConsoleContext& context, const SwitchFlags& flags,
                  const PrinterSelection& selection);
