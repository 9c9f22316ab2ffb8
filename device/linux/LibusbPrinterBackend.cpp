#include "device/linux/LibusbPrinterBackend.h"

#include "common/DebugTrace.h"
#include "device/linux/LibusbPrinterChannel.h"
#include "device/linux/PrinterAccess.h"
#include "device/linux/SysfsUsb.h"

namespace {
// cdc_acm makes the tty just after the device appears; a restart wait that has just seen the
// printer come back may ask before it is there.
constexpr std::uint32_t kTtySettleMs = 1000;
constexpr std::uint32_t kTtyPollMs = 100;
} // namespace

std::vector<AttachedPrinter> LibusbPrinterBackend::ListPrinters() {
    std::vector<AttachedPrinter> printers;
    const UsbContext context = m_session.FreshContext();
    if (!context) {
        return printers;
    }
    for (const FoundPrinter& found : ScanPrinters(context)) {
        int error = 0;
        const DeviceHandle handle = OpenPrinter(found, &error);
        const UsbType mode = found.interfaces.mode;
        if (handle) {
            printers.push_back({found.identity, found.identity, mode, {}});
        } else if (error == LIBUSB_ERROR_ACCESS) {
            printers.push_back({found.identity, found.identity, mode, NoAccessLine(found)});
        }
        // Any other failure: the device went away or is broken; it is no printer to offer.
    }
    return printers;
}

std::unique_ptr<PrinterChannel> LibusbPrinterBackend::OpenChannel(const PrinterTarget& printer) {
    return std::make_unique<LibusbPrinterChannel>(m_session, printer);
}

PortLookup LibusbPrinterBackend::LookUpPort(const PrinterTarget& printer) {
    const UsbContext context = m_session.FreshContext();
    if (!context) {
        return {};
    }
    for (const FoundPrinter& found : ScanPrinters(context)) {
        if (found.interfaces.mode != IDCOMMCLASSTYPE || !printer.Matches(found.identity)) {
            continue;
        }
        const std::uint64_t start = m_clock.NowMs();
        for (;;) {
            if (std::optional<std::string> node = InterfaceTtyNode(
                    found.portPath, found.configuration, found.interfaces.portInterface)) {
                return {node, {}};
            }
            if (m_clock.NowMs() - start >= kTtySettleMs) {
                break;
            }
            m_clock.SleepMs(kTtyPollMs);
        }
        const std::string directory =
            InterfaceDirectory(found.portPath, found.configuration, found.interfaces.portInterface);
        DebugTrace("LookUpPort", "no tty under " + directory);
        return {std::nullopt, "No virtual port: the kernel made no tty for " + directory +
                                  " (is the cdc_acm module loaded?)"};
    }
    return {};
}
