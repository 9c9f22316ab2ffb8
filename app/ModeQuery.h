// The console's answer to MODE.
#pragma once

#include "app/ConsoleContext.h"
#include "app/ConsoleReply.h"
#include "app/PrinterSelection.h"

// The current mode of the selected printer, with the virtual port in comm class mode; with
// several printers and none chosen, that of each. The result is NoPrinter when no printer
// answers; with several, Ok when any answered, else InUse when one is held.
void ReportMode(ConsoleContext& context, const PrinterSelection& selection, ConsoleReply& reply);
