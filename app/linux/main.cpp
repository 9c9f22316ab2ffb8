// orvane: the console face over libusb, with the command-line conventions of its system. Without
// an action there is no dialog to start, so the help is printed and the usage code returned.
// The trace goes nowhere unless TRACE echoes it.
#include "app/CommandLine.h"
#include "app/ConsoleFace.h"
#include "app/linux/OrvaneVersion.h"
#include "common/DebugTrace.h"
#include "common/linux/MonotonicClock.h"
#include "common/linux/Syslog.h"
#include "device/linux/LibusbPrinterBackend.h"

#include <unistd.h>

int main(int argc, char* argv[]) {
    EchoTraceToStderr(WantsTrace(argc, argv));
    const SwitchFlags flags = ParseSwitches(argc, argv, SwitchConventions::Posix);
    // No libusb is started until a switch looks at the bus.
    MonotonicClock clock;
    LibusbPrinterBackend backend(clock);
    ConsoleContext context{backend, "orvane", kOrvaneVersion, isatty(STDERR_FILENO) == 1, false};
    Syslog log;
    context.log = &log;
    return RunConsoleOnly(context, flags);
}
