#include "device/linux/PrinterAccess.h"

#include "common/DebugTrace.h"
#include "common/ShownText.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {
libusb_device* FindOnBus(const DeviceList& list, const FoundPrinter& printer) {
    for (libusb_device* device : list.Devices()) {
        if (libusb_get_bus_number(device) == printer.bus &&
            libusb_get_device_address(device) == printer.address) {
            return device;
        }
    }
    return nullptr;
}
} // namespace

DeviceHandle OpenPrinter(const UsbContext& context, const FoundPrinter& printer, int* pError) {
    libusb_device_handle* handle = nullptr;
    const DeviceList list(context.get());
    libusb_device* device = FindOnBus(list, printer);
    *pError = device != nullptr ? libusb_open(device, &handle) : LIBUSB_ERROR_NO_DEVICE;
    if (*pError != LIBUSB_SUCCESS) {
        DebugTrace("OpenPrinter", FormatText("%s (%s): %s", DeviceNode(printer).c_str(),
                                             EscapeUnprintable(printer.identity).c_str(),
                                             libusb_error_name(*pError)));
        return nullptr;
    }
    return DeviceHandle(handle, HandleClose{context});
}

NodeAccess AccessToNode(const FoundPrinter& printer) {
    const std::string node = DeviceNode(printer);
    if (access(node.c_str(), R_OK | W_OK) == 0) {
        return NodeAccess::Granted;
    }
    const int error = errno;
    DebugTrace("AccessToNode",
               FormatText("%s (%s): %s", node.c_str(), EscapeUnprintable(printer.identity).c_str(),
                          std::strerror(error)));
    return error == EACCES || error == EPERM || error == EROFS ? NodeAccess::Refused
                                                               : NodeAccess::Gone;
}
