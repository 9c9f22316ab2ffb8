#include "device/linux/PrinterScan.h"

#include "common/DebugTrace.h"
#include "common/ShownText.h"
#include "common/TextCase.h"
#include "device/linux/SysfsUsb.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <tuple>

namespace {
// "1-2.3" as its bus and the ports from the root hub; false when a number is out of range.
bool SplitPortPath(FoundPrinter& printer) {
    const char* at = printer.portPath.data();
    const char* const end = at + printer.portPath.size();
    std::vector<std::uint8_t> numbers;
    for (;;) {
        unsigned number = 0;
        const auto [stop, error] = std::from_chars(at, end, number);
        if (error != std::errc() || number > 255) {
            return false;
        }
        numbers.push_back(static_cast<std::uint8_t>(number));
        if (stop == end) {
            break;
        }
        at = stop + 1; // past the dash or a dot
    }
    printer.bus = numbers.front();
    printer.ports.assign(numbers.begin() + 1, numbers.end());
    return true;
}

// Cheap printers may ship with one serial number for a whole batch: those that share one are told
// apart by where they are plugged in.
void NameTwinsByPort(std::vector<FoundPrinter>& printers) {
    std::vector<bool> twin(printers.size(), false);
    for (std::size_t i = 0; i < printers.size(); ++i) {
        for (std::size_t j = i + 1; j < printers.size(); ++j) {
            if (printers[i].identity != printers[i].portPath &&
                printers[j].identity != printers[j].portPath &&
                EqualIgnoringCase(printers[i].identity, printers[j].identity)) {
                twin[i] = twin[j] = true;
            }
        }
    }
    for (std::size_t i = 0; i < printers.size(); ++i) {
        if (twin[i]) {
            printers[i].sharedSerial = printers[i].identity;
            printers[i].identity = printers[i].portPath;
            DebugTrace("ScanPrinters",
                       FormatText("%s shares its serial number: identity %s",
                                  printers[i].portPath.c_str(), printers[i].portPath.c_str()));
        }
    }
}

// The printer this device is, or nullopt when it is none.
std::optional<FoundPrinter> Examine(const std::string& portPath) {
    const std::vector<std::uint8_t> descriptors = ReadDescriptors(portPath);
    const std::optional<UsbDeviceIds> ids = DeviceIdsOf(descriptors);
    if (!ids || !IsPrinterProduct(ids->vendorId, ids->productId)) {
        return std::nullopt;
    }
    const std::string name =
        FormatText("%04X:%04X at %s", ids->vendorId, ids->productId, portPath.c_str());
    const std::optional<unsigned> address = ReadNumberAttribute(portPath, "devnum");
    const std::optional<unsigned> configuration =
        ReadNumberAttribute(portPath, "bConfigurationValue");
    std::optional<std::vector<UsbInterfaceSetting>> settings;
    if (address && configuration) {
        settings = InterfacesOfConfiguration(descriptors, *configuration);
    }
    if (!settings) {
        DebugTrace("ScanPrinters", name + ": no active configuration");
        return std::nullopt;
    }
    const std::optional<ModeInterfaces> interfaces = ModeOfConfiguration(*settings);
    if (!interfaces) {
        DebugTrace("ScanPrinters", name + " shows none of the printer's interfaces: not a printer");
        return std::nullopt;
    }

    FoundPrinter printer;
    printer.portPath = portPath;
    if (!SplitPortPath(printer)) {
        return std::nullopt;
    }
    printer.address = *address;
    printer.configuration = static_cast<int>(*configuration);
    printer.interfaces = *interfaces;
    printer.identity = ReadSerialNumber(portPath);
    if (printer.identity.empty()) {
        printer.identity = printer.portPath;
    }
    DebugTrace("ScanPrinters",
               FormatText("%s: %s, identity %s", name.c_str(), ModeName(interfaces->mode),
                          EscapeUnprintable(printer.identity).c_str()));
    return printer;
}
} // namespace

std::vector<FoundPrinter> ScanPrinters() {
    std::vector<FoundPrinter> printers;
    for (const std::string& portPath : UsbDevicePortPaths()) {
        if (std::optional<FoundPrinter> printer = Examine(portPath)) {
            printers.push_back(std::move(*printer));
        }
    }
    NameTwinsByPort(printers);
    // The probe's order first, then where each printer is plugged in.
    const auto rank = [](const FoundPrinter& printer) {
        return std::find(kProbeOrder.begin(), kProbeOrder.end(), printer.interfaces.mode) -
               kProbeOrder.begin();
    };
    std::sort(printers.begin(), printers.end(), [&](const FoundPrinter& a, const FoundPrinter& b) {
        return std::make_tuple(rank(a), a.bus, a.ports) < std::make_tuple(rank(b), b.bus, b.ports);
    });
    return printers;
}

std::string DeviceNode(const FoundPrinter& printer) {
    return FormatText("/dev/bus/usb/%03u/%03u", unsigned{printer.bus}, printer.address);
}
