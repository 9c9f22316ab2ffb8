#include "app/ModeQuery.h"

#include "app/ExitCodes.h"
#include "common/ConsoleOutput.h"
#include "common/DebugTrace.h"
#include "device/ProbeUsb.h"

#include <string>

namespace {
// The mode display string of one printer, with " = <port>" in comm class mode when the port is
// known. The lookup's complaint, if any, goes to *pProblem.
std::string ModeText(ConsoleContext& context, const std::string& identity, bool* pAnswered,
                     std::string* pProblem) {
    char szUsbString[kUsbStringSize] = {};
    const UsbType mode = ProbeUsb(context.backend, identity, szUsbString, kUsbStringSize);
    *pAnswered = !IsProbeError(szUsbString);
    std::string text = szUsbString;
    if (mode == IDCOMMCLASSTYPE) {
        *pProblem = AppendPort(context.backend.LookUpPort(identity), text);
    }
    return text;
}
} // namespace

int ReportMode(ConsoleContext& context, const PrinterSelection& selection) {
    if (!selection.several) {
        bool answered = false;
        std::string problem;
        const std::string text = ModeText(context, selection.identity, &answered, &problem);
        if (!problem.empty()) {
            PrintLine(problem);
        }
        PrintLine(text);
        return answered ? kExitOk : kExitNoPrinter;
    }

    // Each line names its printer; a port lookup's complaint would only break the list apart.
    bool anyAnswered = false;
    for (std::size_t i = 0; i < selection.printers.size(); ++i) {
        const AttachedPrinter& printer = selection.printers[i];
        std::string text = printer.noAccess;
        if (text.empty()) {
            bool answered = false;
            std::string problem;
            text = ModeText(context, printer.identity, &answered, &problem);
            anyAnswered = anyAnswered || answered;
        }
        PrintLine(FormatText("Printer %d (%s): %s", static_cast<int>(i + 1),
                             printer.shownId.c_str(), text.c_str()));
    }
    return anyAnswered ? kExitOk : kExitNoPrinter;
}
