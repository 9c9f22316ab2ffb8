#include "app/ModeQuery.h"

#include "app/ExitCodes.h"
#include "app/ModeText.h"
#include "common/ConsoleOutput.h"
#include "common/DebugTrace.h"
#include "device/ProbeUsb.h"

#include <string>

namespace {
// The mode of one printer as MODE shows it; nullopt when it does not answer.
std::optional<ModeText> ModeOf(PrinterBackend& backend, const PrinterTarget& printer) {
    const std::optional<ProbeResult> found = ProbeMode(backend, printer);
    if (!found) {
        return std::nullopt;
    }
    PortLookup port;
    if (found->mode == IDCOMMCLASSTYPE) {
        port = backend.LookUpPort(PrinterTarget::Listed(found->identity));
    }
    return ShowMode(found->mode, port);
}
} // namespace

int ReportMode(ConsoleContext& context, const PrinterSelection& selection) {
    if (!selection.several) {
        const std::optional<ModeText> mode = ModeOf(context.backend, selection.printer);
        if (!mode) {
            PrintLine(kErrorOpeningUsb);
            return kExitNoPrinter;
        }
        if (!mode->problem.empty()) {
            PrintLine(mode->problem);
        }
        PrintLine(mode->text);
        return kExitOk;
    }

    // Each line names its printer; a port lookup's complaint would only break the list apart.
    bool anyAnswered = false;
    for (std::size_t i = 0; i < selection.printers.size(); ++i) {
        const AttachedPrinter& printer = selection.printers[i];
        std::string text = printer.noAccess;
        if (text.empty()) {
            const std::optional<ModeText> mode =
                ModeOf(context.backend, PrinterTarget::Listed(printer.identity));
            anyAnswered = anyAnswered || mode.has_value();
            text = mode ? mode->text : kErrorOpeningUsb;
        }
        PrintLine(FormatText("Printer %d (%s): %s", static_cast<int>(i + 1),
                             printer.shownId.c_str(), text.c_str()));
    }
    return anyAnswered ? kExitOk : kExitNoPrinter;
}
