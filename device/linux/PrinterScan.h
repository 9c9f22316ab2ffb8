// The printers attached now, as libusb and sysfs show them.
#pragma once

#include "device/linux/LibusbHandles.h"
#include "device/linux/PrinterInterfaces.h"

#include <cstdint>
#include <string>
#include <vector>

struct FoundPrinter {
    DeviceRef device; // holds the context of the scan that found it
    // Its serial number, or its port path when it has none: either survives a restart.
    std::string identity;
    // "1-2.3": the bus and the ports from the root hub, the device's name in sysfs.
    std::string portPath;
    std::uint8_t bus = 0;
    std::vector<std::uint8_t> ports;
    int configuration = 0; // bConfigurationValue of the active configuration
    ModeInterfaces interfaces;
};

// Every printer attached now, in the probe's order: native mode first, then printer class, then
// comm class; within a mode by bus and ports, so that the order does not depend on which was
// plugged in first. A device of a printer product that shows none of the modes is traced and
// left out. Call it with a fresh context (LibusbSession::FreshContext) to see the bus as it is
// now.
std::vector<FoundPrinter> ScanPrinters(const UsbContext& context);

// The device's usbfs node, /dev/bus/usb/BBB/DDD.
std::string DeviceNode(libusb_device* device);
