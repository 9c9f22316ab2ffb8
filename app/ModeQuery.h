// The console's answer to MODE.
#pragma once

#include "app/ConsoleContext.h"
#include "app/PrinterSelection.h"

// Prints the current mode of the selected printer, with the virtual port appended in comm
// class mode; with several printers and none chosen, one line for each, saying which printer
// it is. Returns the exit code: kExitNoPrinter when no printer answers.
int ReportMode(ConsoleContext& context, const PrinterSelection& selection);
