#include "app/ConsoleSwitches.h"

#include "app/ExitCodes.h"
#include "common/ConsoleOutput.h"
#include "common/ProgressLine.h"
#include "device/ProbeUsb.h"
#include "modechange/SetUsbType.h"

#include <cstdio>
#include <string>

namespace {
void ReportCommPort(PrinterBackend& backend, const std::string& identity) {
    const PortLookup lookup = backend.LookUpPort(identity);
    if (lookup.port) {
        std::printf("Comm Class USB virtual port = %s\n", lookup.port->c_str());
        std::fflush(stdout);
    } else if (!lookup.problem.empty()) {
        PrintLine(lookup.problem);
    }
}
} // namespace

int RunModeSwitch(ConsoleContext& context, const SwitchFlags& flags,
                  const PrinterSelection& selection) {
    UsbType target = IDNATIVETYPE;
    if (flags.printerClass) {
        target = IDPRINTERCLASSTYPE;
    } else if (flags.commClass) {
        target = IDCOMMCLASSTYPE;
    } else if (!flags.native) {
        return kExitOk;
    }
    if (selection.several) {
        PrintLine(SeveralPrintersLine(selection.printers.size()));
        return kExitWhichPrinter;
    }

    char szUsbString[kUsbStringSize] = {};
    std::string printer;
    const UsbType current =
        ProbeUsb(context.backend, selection.identity, szUsbString, kUsbStringSize, &printer);
    if (IsProbeError(szUsbString)) {
        PrintLine(szUsbString);
        return kExitNoPrinter;
    }
    if (current == target) {
        PrintLine(std::string("Already set to ") + ModeName(target));
        return kExitOk;
    }

    ProgressLine progress(stderr, context.stderrIsConsole);
    switch (SetUsbType(context.backend, printer, target, &progress)) {
    case ModeChangeResult::NoPrinter:
        return kExitNoPrinter;
    case ModeChangeResult::Timeout:
    case ModeChangeResult::OtherMode:
        return kExitRestartTimeout;
    case ModeChangeResult::Changed:
        break;
    }
    if (target == IDCOMMCLASSTYPE) {
        ReportCommPort(context.backend, printer);
    }
    return kExitOk;
}
