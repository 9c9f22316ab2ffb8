// A comm-class printer's own port: the PortName value of its device key, where the comm class
// driver of each device records the port it made.
#pragma once

#include "device/PrinterTarget.h"

#include <optional>
#include <string>

struct DevicePortAnswer {
    std::optional<std::string> port; // the printer's own PortName
    int otherCommPrinters = 0;       // printers in comm class mode besides this one
};

// Looks the printer meant (when none was listed: the first printer in comm class mode that
// answers) up among the serial port interfaces.
DevicePortAnswer ReadDevicePortName(const PrinterTarget& printer);
