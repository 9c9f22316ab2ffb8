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
// The kernel module whose driver makes the tty of a comm class printer.
constexpr const char* kCommClassModule = "cdc_acm";
} // namespace

// The list needs no libusb: sysfs names the printers, and the permissions of each device node
// say whether this user may open it.
std::vector<AttachedPrinter> LibusbPrinterBackend::ListPrinters() {
    std::vector<AttachedPrinter> printers;
    for (const FoundPrinter& found : ScanPrinters()) {
        const NodeAccess nodeAccess = AccessToNode(found);
        if (nodeAccess == NodeAccess::Gone) {
            continue; // it left the bus since sysfs named it: no printer to offer
        }
        printers.push_back({found.identity, found.identity, found.interfaces.mode,
                            nodeAccess == NodeAccess::Refused ? DeviceNode(found) : std::string(),
                            '\0', found.sharedSerial, found.portPath});
    }
    return printers;
}

std::unique_ptr<PrinterChannel> LibusbPrinterBackend::OpenChannel(const PrinterTarget& printer) {
    return std::make_unique<LibusbPrinterChannel>(m_session, printer);
}

PortLookup LibusbPrinterBackend::LookUpPort(const PrinterTarget& printer) {
    for (const FoundPrinter& found : ScanPrinters()) {
        if (found.interfaces.mode != IDCOMMCLASSTYPE || !printer.Matches(found.identity)) {
            continue;
        }
        const std::uint64_t start = m_clock.NowMs();
        for (;;) {
            if (std::optional<std::string> node = InterfaceTtyNode(
                    found.portPath, found.configuration, found.interfaces.portInterface)) {
                PortLookup lookup{node, {}};
                lookup.stableName = StableTtyName(*node);
                return lookup;
            }
            if (m_clock.NowMs() - start >= kTtySettleMs) {
                break;
            }
            m_clock.SleepMs(kTtyPollMs);
        }
        const std::string directory =
            InterfaceDirectory(found.portPath, found.configuration, found.interfaces.portInterface);
        DebugTrace("LookUpPort", "no tty under " + directory);
        PortLookup lookup{std::nullopt, "No virtual port: the kernel made no tty for " + directory +
                                            " (is the " + kCommClassModule + " module loaded?)"};
        // No driver at all, rather than one that made no tty.
        if (InterfaceDriverName(found.portPath, found.configuration, found.interfaces.portInterface)
                .empty()) {
            lookup.driver = {MissingDriver::Kind::Module, 0, kCommClassModule, found.identity};
        }
        return lookup;
    }
    return {};
}
