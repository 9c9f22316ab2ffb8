// The printer's three USB modes and everything that identifies the printer in each of them.
#pragma once

#include "platform/win32.h"

// The USB mode: a signed integer so that any value can be handed around; only 0, 1 and 2
// name a mode.
using UsbType = int;

constexpr UsbType IDNATIVETYPE = 0;
constexpr UsbType IDPRINTERCLASSTYPE = 1;
constexpr UsbType IDCOMMCLASSTYPE = 2;
constexpr int kUsbModeCount = 3;

// Device interface class of each mode, indexed by UsbType.
extern const GUID kInterfaceClass[kUsbModeCount];
// Mode 1 gives the printer class, 2 the serial port class, every other value the native class.
const GUID& InterfaceClassOf(UsbType mode);

// Display strings, indexed by UsbType; the last entry stands for "no mode could be opened".
extern const char* const kModeNames[kUsbModeCount + 1];
constexpr int kModeNameError = kUsbModeCount;

// The display string of a mode; values outside the modes count as native, as for the class.
const char* ModeName(UsbType mode);

// Trace names of the modes, indexed by UsbType.
extern const char* const kModeTraceNames[kUsbModeCount];

// Hardware-ID substrings that mark the printer in a device path, searched in order and
// case-sensitively; the table ends with a null entry.
extern const char* const kUsbDeviceIds[];
// The first entry of kUsbDeviceIds found in the path, or -1.
int FindUsbDeviceId(const char* path);

// Pipe names appended to a device path after a backslash.
constexpr const char* kPresencePipe = "PIPE00";
constexpr const char* kCommandPipe = "PIPE01";
