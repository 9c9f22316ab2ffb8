// The console's mode switches: NATIVE, PRINTERCLASS and COMMCLASS.
#pragma once

#include "app/CommandLine.h"

// Carries out the one mode switch in `flags`: reports a mode that is already active, or
// changes to it and, after a change to comm class mode, reports the virtual port. Returns
// the exit code.
int RunModeSwitch(const SwitchFlags& flags);
