#include "device/linux/PrinterScan.h"

#include "common/DebugTrace.h"
#include "device/linux/SysfsUsb.h"

#include <algorithm>
#include <optional>
#include <tuple>

namespace {
// USB allows at most seven tiers of hubs.
constexpr int kMaxPortDepth = 7;

std::string JoinPortPath(std::uint8_t bus, const std::vector<std::uint8_t>& ports) {
    std::string path = std::to_string(bus);
    for (std::size_t i = 0; i < ports.size(); ++i) {
        path += i == 0 ? '-' : '.';
        path += std::to_string(ports[i]);
    }
    return path;
}

// The printer this device is, or nullopt when it is none.
std::optional<FoundPrinter> Examine(libusb_device* device, const UsbContext& context) {
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) != LIBUSB_SUCCESS ||
        !IsPrinterProduct(descriptor.idVendor, descriptor.idProduct)) {
        return std::nullopt;
    }

    FoundPrinter printer;
    printer.bus = libusb_get_bus_number(device);
    std::uint8_t ports[kMaxPortDepth] = {};
    const int depth = libusb_get_port_numbers(device, ports, kMaxPortDepth);
    if (depth > 0) {
        printer.ports.assign(ports, ports + depth);
    }
    printer.portPath = JoinPortPath(printer.bus, printer.ports);
    const std::string name = FormatText("%04X:%04X at %s", descriptor.idVendor,
                                        descriptor.idProduct, printer.portPath.c_str());

    libusb_config_descriptor* rawConfig = nullptr;
    const int result = libusb_get_active_config_descriptor(device, &rawConfig);
    if (result != LIBUSB_SUCCESS) {
        DebugTrace("ScanPrinters",
                   name + ": no active configuration: " + libusb_error_name(result));
        return std::nullopt;
    }
    const ConfigDescriptor config(rawConfig);
    const std::optional<ModeInterfaces> interfaces = ModeOfConfiguration(*config);
    if (!interfaces) {
        DebugTrace("ScanPrinters", name + " shows none of the printer's interfaces: not a printer");
        return std::nullopt;
    }

    printer.configuration = config->bConfigurationValue;
    printer.interfaces = *interfaces;
    printer.identity = ReadSerialNumber(printer.portPath);
    if (printer.identity.empty()) {
        printer.identity = printer.portPath;
    }
    printer.device = DeviceRef(libusb_ref_device(device), DeviceUnref{context});
    DebugTrace("ScanPrinters", FormatText("%s: %s, identity %s", name.c_str(),
                                          ModeName(interfaces->mode), printer.identity.c_str()));
    return printer;
}
} // namespace

std::vector<FoundPrinter> ScanPrinters(const UsbContext& context) {
    std::vector<FoundPrinter> printers;
    const DeviceList list(context.get());
    if (list.Error() != 0) {
        DebugTrace("ScanPrinters",
                   std::string("libusb_get_device_list: ") + libusb_error_name(list.Error()));
        return printers;
    }
    for (libusb_device* device : list.Devices()) {
        if (std::optional<FoundPrinter> printer = Examine(device, context)) {
            printers.push_back(std::move(*printer));
        }
    }
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

std::string DeviceNode(libusb_device* device) {
    return FormatText("/dev/bus/usb/%03u/%03u", libusb_get_bus_number(device),
                      libusb_get_device_address(device));
}
