// Opening a printer's device, and what to tell a user whom the system does not let open it.
#pragma once

#include "device/linux/LibusbHandles.h"
#include "device/linux/PrinterScan.h"

#include <string>

// Where the package installs the udev rule that gives the seat's user and the plugdev group
// the printers' device nodes.
constexpr const char* kUdevRulePath = "/usr/lib/udev/rules.d/60-orvane.rules";

// The printer's open device, found on the bus by its number, or an empty handle with libusb's
// error in *pError (traced): LIBUSB_ERROR_NO_DEVICE when the context does not know it.
DeviceHandle OpenPrinter(const UsbContext& context, const FoundPrinter& printer, int* pError);

enum class NodeAccess { Granted, Refused, Gone };

// Whether this user may open the printer's device node, as its permissions say: what an open
// would meet, learned without opening the device.
NodeAccess AccessToNode(const FoundPrinter& printer);

// The one line that says this user may not open the printer: its device node and the rule.
std::string NoAccessLine(const FoundPrinter& printer);
