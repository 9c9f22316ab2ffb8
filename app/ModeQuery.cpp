#include "app/ModeQuery.h"

#include "app/ExitCodes.h"
#include "common/ConsoleOutput.h"
#include "common/DebugTrace.h"
#include "device/ProbeUsb.h"
#include "text/ModeText.h"

#include <string>

namespace {
// One printer as MODE shows it, and the exit code that goes with it.
struct ModeLine {
    ModeText shown;
    int exitCode = kExitOk;
};

ModeLine ModeOf(PrinterBackend& backend, const PrinterTarget& printer) {
    const std::optional<ProbeResult> found = ProbeMode(backend, printer);
    if (!found) {
        return {{kErrorOpeningUsb, {}}, kExitNoPrinter};
    }
    if (found->inUse) {
        return {{InUseLine(found->mode), {}}, kExitInUse};
    }
    PortLookup port;
    if (found->mode == IDCOMMCLASSTYPE) {
        port = backend.LookUpPort(PrinterTarget::Listed(found->identity));
    }
    return {ShowMode(found->mode, port), kExitOk};
}
} // namespace

int ReportMode(ConsoleContext& context, const PrinterSelection& selection) {
    if (!selection.several) {
        const ModeLine line = ModeOf(context.backend, selection.printer);
        if (!line.shown.problem.empty()) {
            PrintLine(line.shown.problem);
        }
        PrintLine(line.shown.text);
        return line.exitCode;
    }

    // Each line names its printer; a port lookup's complaint would only break the list apart.
    // The exit code is 0 when any printer answered, else 6 when one is held by another program.
    int exitCode = kExitNoPrinter;
    for (std::size_t i = 0; i < selection.printers.size(); ++i) {
        const AttachedPrinter& printer = selection.printers[i];
        std::string text = printer.deniedNode.empty() ? "" : NoAccessLine(printer.deniedNode);
        if (text.empty()) {
            const ModeLine line = ModeOf(context.backend, PrinterTarget::Listed(printer.identity));
            text = line.shown.text;
            if (line.exitCode == kExitOk || exitCode == kExitNoPrinter) {
                exitCode = line.exitCode;
            }
        }
        PrintLine(FormatText("Printer %d (%s): %s", static_cast<int>(i + 1),
                             ShownId(printer).c_str(), text.c_str()));
    }
    return exitCode;
}
