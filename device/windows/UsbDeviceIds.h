// How Windows shows the printer: the device interface class of each mode, the hardware IDs in
// its device paths, its pipes, and the instance part of a path that names one printer.
#pragma once

#include "device/UsbType.h"
#include "platform/win32.h"

#include <string>

// Device interface class of each mode, indexed by UsbType.
extern const GUID kInterfaceClass[kUsbModeCount];
// Mode 1 gives the printer class, 2 the serial port class, every other value the native class.
const GUID& InterfaceClassOf(UsbType mode);

// Hardware-ID substrings that mark the printer in a device path, searched in order and
// case-sensitively; the table ends with a null entry.
extern const char* const kUsbDeviceIds[];
// The first entry of kUsbDeviceIds found in the path, or -1.
int FindUsbDeviceId(const char* path);

// Pipe names of the printer, appended to a device path after a backslash: the presence pipe
// proves the printer answers in a mode; the command pipe takes the mode command.
constexpr const char* kPresencePipe = "PIPE00";
constexpr const char* kCommandPipe = "PIPE01";

// The instance part of an interface path "\\?\usb#vid_6b1f&pid_c302#<instance>#{class}": the
// printer's serial number, or its port location when it has none. It names the printer in
// every mode. A path of another shape is its own instance.
std::string InstanceOfPath(const std::string& path);
