#include "device/linux/PrinterAccess.h"

#include "common/DebugTrace.h"

DeviceHandle OpenPrinter(const FoundPrinter& printer, int* pError) {
    libusb_device_handle* handle = nullptr;
    *pError = libusb_open(printer.device.get(), &handle);
    if (*pError != LIBUSB_SUCCESS) {
        DebugTrace("OpenPrinter",
                   FormatText("%s (%s): %s", DeviceNode(printer.device.get()).c_str(),
                              printer.identity.c_str(), libusb_error_name(*pError)));
        return nullptr;
    }
    return DeviceHandle(handle, HandleClose{printer.device.get_deleter().context});
}

std::string NoAccessLine(const FoundPrinter& printer) {
    return FormatText("No permission to open the printer's device %s: install the udev rule %s "
                      "and plug the printer in again",
                      DeviceNode(printer.device.get()).c_str(), kUdevRulePath);
}
