// A comm-class printer's own port: the PortName value of its device key, where the comm class
// driver of each device records the port it made.
#pragma once

#include <optional>
#include <string>

struct DevicePortAnswer {
    std::optional<std::string> port; // the printer's own PortName
    int otherCommPrinters = 0;       // printers in comm class mode besides this one
};

// Looks the printer with `identity` (empty: the first printer in comm class mode) up among the
// serial port interfaces.
DevicePortAnswer ReadDevicePortName(const std::string& identity);
