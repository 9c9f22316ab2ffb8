// What people are shown of a printer that is back but that no driver serves in the new mode:
// the one line of the console and the dialog, and the console's progress line while the system
// may still be installing the driver.
#pragma once

#include "device/PrinterBackend.h"

#include <cstdint>
#include <string>

// "Printer <ID> is back, but Windows has no working driver for it in <mode> mode (<why and what
// to do>)"; for `missing.kind` other than None.
std::string NoDriverLine(const MissingDriver& missing, UsbType mode);

// The progress line while the printer is back and its driver may still be coming.
std::string InstallingDriverProgress(UsbType mode, std::uint64_t waitedMs);
