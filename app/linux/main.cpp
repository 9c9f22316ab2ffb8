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

#include <fcntl.h>
#include <unistd.h>

namespace {
// A standard stream the caller closed would be reused by the next file opened (libusb's, a
// device node), and the lines would go there. A descriptor open for reading only holds its place
// instead: every write to it fails, and the failure is reported. Lowest first, so that each open
// lands on the descriptor it holds.
void HoldClosedStandardStreams() {
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (fcntl(fd, F_GETFD) == -1) {
            open("/dev/null", O_RDONLY);
        }
    }
}
} // namespace

int main(int argc, char* argv[]) {
    HoldClosedStandardStreams();
    EchoTraceToStderr(WantsTrace(argc, argv));
    const SwitchFlags flags = ParseSwitches(argc, argv, SwitchConventions::Posix);
    // No libusb is started until a switch looks at the bus.
    MonotonicClock clock;
    LibusbPrinterBackend backend(clock);
    ConsoleContext context{backend, "orvane", kOrvaneVersion, isatty(STDERR_FILENO) == 1, false};
    Syslog log;
    context.log = &log;
    return ConsoleExitCode(context.programName, RunConsoleOnly(context, flags));
}
