#include "device/linux/PrinterInterfaces.h"

#include <algorithm>
#include <array>

namespace {
constexpr std::array<std::uint16_t, 3> kPrinterProductIds = {0xC302, 0xC318, 0xC337};

// The first interface of this class, in the configuration's order.
const UsbInterfaceSetting* FindClass(const std::vector<UsbInterfaceSetting>& interfaces,
                                     std::uint8_t interfaceClass) {
    const auto found = std::find_if(interfaces.begin(), interfaces.end(), [&](const auto& setting) {
        return setting.interfaceClass == interfaceClass;
    });
    return found != interfaces.end() ? &*found : nullptr;
}

std::optional<std::uint8_t> BulkOutEndpoint(const UsbInterfaceSetting& setting) {
    for (const UsbEndpoint& endpoint : setting.endpoints) {
        const bool out = (endpoint.address & LIBUSB_ENDPOINT_DIR_MASK) == LIBUSB_ENDPOINT_OUT;
        const bool bulk =
            (endpoint.attributes & LIBUSB_TRANSFER_TYPE_MASK) == LIBUSB_TRANSFER_TYPE_BULK;
        if (out && bulk) {
            return endpoint.address;
        }
    }
    return std::nullopt;
}

ModeInterfaces CommandOn(UsbType mode, const UsbInterfaceSetting& setting) {
    ModeInterfaces found;
    found.mode = mode;
    found.commandInterface = setting.number;
    found.commandEndpoint = BulkOutEndpoint(setting);
    return found;
}
} // namespace

bool IsPrinterProduct(std::uint16_t vendorId, std::uint16_t productId) {
    return vendorId == kPrinterVendorId &&
           std::find(kPrinterProductIds.begin(), kPrinterProductIds.end(), productId) !=
               kPrinterProductIds.end();
}

std::optional<ModeInterfaces> ModeOfConfiguration(const std::vector<UsbInterfaceSetting>& config) {
    if (const auto* vendor = FindClass(config, LIBUSB_CLASS_VENDOR_SPEC)) {
        return CommandOn(IDNATIVETYPE, *vendor);
    }
    if (const auto* printer = FindClass(config, LIBUSB_CLASS_PRINTER)) {
        return CommandOn(IDPRINTERCLASSTYPE, *printer);
    }
    const auto* comm = FindClass(config, LIBUSB_CLASS_COMM);
    const auto* data = FindClass(config, LIBUSB_CLASS_DATA);
    if (comm != nullptr && data != nullptr) {
        ModeInterfaces found = CommandOn(IDCOMMCLASSTYPE, *data);
        found.portInterface = comm->number;
        return found;
    }
    return std::nullopt;
}
