// The console's answer to LIST.
#pragma once

#include "app/ConsoleContext.h"

// Prints one line per attached printer, numbered from 1 in the probe's order:
// "<number>\t<ID>\t<mode>\t<port>", the port empty outside comm class mode or when unknown; a
// printer named by where it is plugged in because its serial number is shared has a fifth
// field that says so. IDs and ports are shown escaped. Without a printer it prints
// "Error opening USB". Returns the exit code.
int ListPrinters(ConsoleContext& context);
