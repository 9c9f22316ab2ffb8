#include "device/linux/PrinterInterfaces.h"

#include <algorithm>
#include <array>

namespace {
constexpr std::array<std::uint16_t, 3> kPrinterProductIds = {0xC302, 0xC318, 0xC337};

const libusb_interface_descriptor* FirstSetting(const libusb_interface& interface) {
    return interface.num_altsetting > 0 ? &interface.altsetting[0] : nullptr;
}

// The first interface of this class, in the configuration's order.
const libusb_interface_descriptor* FindClass(const libusb_config_descriptor& config,
                                             std::uint8_t interfaceClass) {
    for (int i = 0; i < config.bNumInterfaces; ++i) {
        const libusb_interface_descriptor* setting = FirstSetting(config.interface[i]);
        if (setting != nullptr && setting->bInterfaceClass == interfaceClass) {
            return setting;
        }
    }
    return nullptr;
}

std::optional<std::uint8_t> BulkOutEndpoint(const libusb_interface_descriptor& setting) {
    for (int i = 0; i < setting.bNumEndpoints; ++i) {
        const libusb_endpoint_descriptor& endpoint = setting.endpoint[i];
        const bool out =
            (endpoint.bEndpointAddress & LIBUSB_ENDPOINT_DIR_MASK) == LIBUSB_ENDPOINT_OUT;
        const bool bulk =
            (endpoint.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) == LIBUSB_TRANSFER_TYPE_BULK;
        if (out && bulk) {
            return endpoint.bEndpointAddress;
        }
    }
    return std::nullopt;
}

ModeInterfaces CommandOn(UsbType mode, const libusb_interface_descriptor& setting) {
    ModeInterfaces found;
    found.mode = mode;
    found.commandInterface = setting.bInterfaceNumber;
    found.commandEndpoint = BulkOutEndpoint(setting);
    return found;
}
} // namespace

bool IsPrinterProduct(std::uint16_t vendorId, std::uint16_t productId) {
    return vendorId == kPrinterVendorId &&
           std::find(kPrinterProductIds.begin(), kPrinterProductIds.end(), productId) !=
               kPrinterProductIds.end();
}

std::optional<ModeInterfaces> ModeOfConfiguration(const libusb_config_descriptor& config) {
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
        found.portInterface = comm->bInterfaceNumber;
        return found;
    }
    return std::nullopt;
}
