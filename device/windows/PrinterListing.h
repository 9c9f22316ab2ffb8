// The printers attached to this Windows machine, found through the Setup API without a word
// on the trace.
#pragma once

#include "device/PrinterBackend.h"
#include "platform/win32.h"

#include <vector>

// Every printer whose interface is present and opens, each once, in the probe's order: native
// mode first, then printer class, then comm class; within a class, the Setup API's order.
std::vector<AttachedPrinter> ListAttachedPrinters();

// The device instance ID of a device in a set (USB\VID_6B1F&PID_C302\<serial>), or empty when
// the Setup API cannot say.
std::string DeviceInstanceId(HDEVINFO hDevInfo, SP_DEVINFO_DATA* pDevice);
