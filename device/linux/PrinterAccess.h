// Opening a printer's device, and whether this user may.
#pragma once

#include "device/linux/LibusbHandles.h"
#include "device/linux/PrinterScan.h"

#include <string>

// The printer's open device, found on the bus by its number, or an empty handle with libusb's
// error in *pError (traced): LIBUSB_ERROR_NO_DEVICE when the context does not know it.
DeviceHandle OpenPrinter(const UsbContext& context, const FoundPrinter& printer, int* pError);

enum class NodeAccess { Granted, Refused, Gone };

// Whether this user may open the printer's device node, as its permissions say: what an open
// would meet, learned without opening the device.
NodeAccess AccessToNode(const FoundPrinter& printer);
