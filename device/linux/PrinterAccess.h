// Opening a printer's device, and what to tell a user whom the system does not let open it.
#pragma once

#include "device/linux/PrinterScan.h"

#include <string>

// Where the package installs the udev rule that gives the seat's user and the plugdev group
// the printers' device nodes.
constexpr const char* kUdevRulePath = "/usr/lib/udev/rules.d/60-orvane.rules";

// The printer's open device, or an empty handle with libusb's error in *pError (traced).
DeviceHandle OpenPrinter(const FoundPrinter& printer, int* pError);

// The one line that says this user may not open the printer: its device node and the rule.
std::string NoAccessLine(const FoundPrinter& printer);
