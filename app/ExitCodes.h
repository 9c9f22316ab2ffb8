// Process exit codes of the console face, the same on every system.
#pragma once

constexpr int kExitOk = 0;
constexpr int kExitFrameworkFailed = 1;
constexpr int kExitNoPrinter = 2;
constexpr int kExitRestartTimeout = 3;
// The command line does not say which printer: several are attached and none is chosen, or
// PRINTER= names none of them.
constexpr int kExitWhichPrinter = 4;
// The printer is there, but this user may not open it.
constexpr int kExitNoAccess = 5;
// The printer is there, but another program holds it; nothing was sent.
constexpr int kExitInUse = 6;
// The printer is back, but the system has no working driver for it in the new mode.
constexpr int kExitNoDriver = 7;
// The command line asks for nothing (where there is no dialog to start): the usage code.
constexpr int kExitUsage = 64;
// Standard output could not be written (a full disk, a closed stream): what was done is done,
// but its lines are lost (EX_IOERR).
constexpr int kExitOutputLost = 74;
