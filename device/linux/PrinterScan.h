// The printers attached now, as sysfs shows them: no libusb and no access to the devices.
#pragma once

#include "device/linux/PrinterInterfaces.h"

#include <cstdint>
#include <string>
#include <vector>

struct FoundPrinter {
    // Its serial number, or its port path when it has none or shares it with another attached
    // printer: either survives a restart.
    std::string identity;
    // The serial number when another attached printer reports it too.
    std::string sharedSerial;
    // "1-2.3": the bus and the ports from the root hub, the device's name in sysfs.
    std::string portPath;
    std::uint8_t bus = 0;
    std::vector<std::uint8_t> ports;
    unsigned address = 0;  // the device number on its bus, which a restart changes
    int configuration = 0; // bConfigurationValue of the active configuration
    ModeInterfaces interfaces;
};

// Every printer attached now, in the probe's order: native mode first, then printer class, then
// comm class; within a mode by bus and ports, so that the order does not depend on which was
// plugged in first. Printers that report one serial number are named by their port paths. A
// device of a printer product that shows none of the modes is traced and left out. Each call
// reads the bus as it is now.
std::vector<FoundPrinter> ScanPrinters();

// The printer's usbfs node, /dev/bus/usb/BBB/DDD.
std::string DeviceNode(const FoundPrinter& printer);
