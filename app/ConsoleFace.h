// The console face: what Orvane does with its switches, on every system.
#pragma once

#include "app/CommandLine.h"
#include "app/ConsoleContext.h"

#include <string>

// Carries out the parsed switches: the conflict rule, VERSION, LIST, then MODE or the one mode
// switch on the printer the command line means, answering in lines or, with JSON, in one
// document. Returns the exit code.
int RunSwitches(ConsoleContext& context, const SwitchFlags& flags);

// The face of a system without a dialog (Posix conventions): a command line with a usage error
// is refused on standard error before anything is done, and one that asks for nothing prints
// the help; both exit with the usage code. Otherwise RunSwitches.
int RunConsoleOnly(ConsoleContext& context, const SwitchFlags& flags);

// The exit code of a console run once its work is done: `exitCode`, unless a line to standard
// output was lost; then one line on standard error says why, and the code is kExitOutputLost.
int ConsoleExitCode(const std::string& programName, int exitCode);
