#include "device/linux/LibusbPrinterChannel.h"

#include "common/DebugTrace.h"
#include "device/linux/LibusbCommandPipe.h"
#include "device/linux/PrinterAccess.h"

LibusbPrinterChannel::LibusbPrinterChannel(LibusbSession& session, PrinterTarget printer)
    : m_session(session), m_printer(std::move(printer)) {}

std::optional<LibusbPrinterChannel::OpenPrinterInMode>
LibusbPrinterChannel::OpenInMode(UsbType mode) {
    const UsbContext context = m_session.FreshContext();
    if (!context) {
        return std::nullopt;
    }
    for (FoundPrinter& printer : ScanPrinters(context)) {
        if (printer.interfaces.mode != mode || !m_printer.Matches(printer.identity)) {
            continue;
        }
        // One that does not open does not end the search: another printer may.
        int error = 0;
        DeviceHandle handle = OpenPrinter(printer, &error);
        if (handle) {
            return OpenPrinterInMode{std::move(printer), std::move(handle)};
        }
    }
    return std::nullopt;
}

std::optional<std::string> LibusbPrinterChannel::Answers(UsbType mode) {
    const std::optional<OpenPrinterInMode> open = OpenInMode(mode);
    if (!open) {
        return std::nullopt;
    }
    return open->printer.identity;
}

std::unique_ptr<CommandPipe> LibusbPrinterChannel::OpenCommandPipe(UsbType mode) {
    std::optional<OpenPrinterInMode> open = OpenInMode(mode);
    if (!open) {
        return nullptr;
    }
    const ModeInterfaces& interfaces = open->printer.interfaces;
    if (!interfaces.commandEndpoint) {
        DebugTrace("CommandPipe", FormatText("interface %d has no bulk OUT endpoint",
                                             interfaces.commandInterface));
        return nullptr;
    }
    DebugTrace("CommandPipe", FormatText("%s (%s): interface %d, endpoint %02X",
                                         DeviceNode(open->printer.device.get()).c_str(),
                                         open->printer.identity.c_str(),
                                         interfaces.commandInterface, *interfaces.commandEndpoint));
    return LibusbCommandPipe::Claim(std::move(open->handle), interfaces.commandInterface,
                                    *interfaces.commandEndpoint, interfaces.portInterface);
}
