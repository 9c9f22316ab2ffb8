// The console's answer to MODE.
#pragma once

// Prints the printer's current mode, with the virtual port appended in comm class mode.
// Returns the exit code: kExitNoPrinter when no printer answers.
int ReportMode();
