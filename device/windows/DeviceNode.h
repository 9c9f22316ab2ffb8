// The printer's USB device node as Windows shows it, whether or not a driver gave it an
// interface: what tells a printer that is back without a driver from one that is not back.
#pragma once

#include "device/PrinterBackend.h"
#include "device/PrinterTarget.h"

// Looks among the present USB devices for the printer meant, the device whose instance ID
// carries one of the printer's hardware IDs and names it as the interfaces' paths do. Problem
// when its node has a problem code; Installing when it has none and no interface of any of the
// printer's modes; None when it is absent or shows such an interface (it is there in a mode).
MissingDriver LookAtDeviceNode(const PrinterTarget& printer);
