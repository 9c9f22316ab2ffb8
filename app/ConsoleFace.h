// The console face: what Orvane does with its switches, on every system.
#pragma once

#include "app/CommandLine.h"
#include "app/ConsoleContext.h"

// Carries out the parsed switches: the conflict rule, VERSION, LIST, then MODE or the one mode
// switch on the printer the command line means. Returns the exit code.
int RunSwitches(ConsoleContext& context, const SwitchFlags& flags);

// The face of a system without a dialog (Posix conventions): a command line with a usage error
// is refused on standard error before anything is done, and one that asks for nothing prints
// the help; both exit with the usage code. Otherwise RunSwitches.
int RunConsoleOnly(ConsoleContext& context, const SwitchFlags& flags);
