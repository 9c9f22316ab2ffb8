#include "device/linux/LibusbPrinterChannel.h"

#include "common/DebugTrace.h"
#include "common/ShownText.h"
#include "device/linux/LibusbCommandPipe.h"
#include "device/linux/PrinterAccess.h"
#include "device/linux/SysfsUsb.h"

LibusbPrinterChannel::LibusbPrinterChannel(LibusbSession& session, PrinterTarget printer)
    : m_session(session), m_printer(std::move(printer)) {}

std::optional<LibusbPrinterChannel::OpenPrinterInMode>
LibusbPrinterChannel::OpenInMode(UsbType mode) {
    UsbContext context; // started for the first printer that matches
    for (FoundPrinter& printer : ScanPrinters()) {
        if (printer.interfaces.mode != mode || !m_printer.Matches(printer.identity)) {
            continue;
        }
        if (!context && !(context = m_session.FreshContext())) {
            return std::nullopt;
        }
        // One that does not open does not end the search: another printer may.
        int error = 0;
        DeviceHandle handle = OpenPrinter(context, printer, &error);
        if (handle) {
            return OpenPrinterInMode{std::move(printer), std::move(handle)};
        }
    }
    return std::nullopt;
}

// Opening the device needs no claim; the kernel shows another process's claim of the command
// interface as its driver, without our touching it.
ModeAnswer LibusbPrinterChannel::Answers(UsbType mode) {
    const std::optional<OpenPrinterInMode> open = OpenInMode(mode);
    if (!open) {
        return {};
    }
    const FoundPrinter& printer = open->printer;
    const bool claimed = InterfaceClaimedByProcess(printer.portPath, printer.configuration,
                                                   printer.interfaces.commandInterface);
    if (claimed) {
        DebugTrace("Answers",
                   FormatText("%s: interface %d claimed by another process",
                              printer.portPath.c_str(), printer.interfaces.commandInterface));
    }
    return claimed ? ModeAnswer::Held(printer.identity) : ModeAnswer::Answering(printer.identity);
}

PipeOpening LibusbPrinterChannel::OpenCommandPipe(UsbType mode) {
    std::optional<OpenPrinterInMode> open = OpenInMode(mode);
    if (!open) {
        return {};
    }
    const ModeInterfaces& interfaces = open->printer.interfaces;
    if (!interfaces.commandEndpoint) {
        DebugTrace("CommandPipe", FormatText("interface %d has no bulk OUT endpoint",
                                             interfaces.commandInterface));
        return {};
    }
    DebugTrace("CommandPipe",
               FormatText("%s (%s): interface %d, endpoint %02X", DeviceNode(open->printer).c_str(),
                          EscapeUnprintable(open->printer.identity).c_str(),
                          interfaces.commandInterface, *interfaces.commandEndpoint));
    return LibusbCommandPipe::Claim(std::move(open->handle), interfaces.commandInterface,
                                    *interfaces.commandEndpoint, interfaces.portInterface);
}
