// What the kernel shows of a USB device under /sys/bus/usb/devices, where the device is named
// by its port path ("1-2.3") and its interfaces by "<port path>:<configuration>.<interface>".
// These reads need no access to the device node and no libusb.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The names of the USB devices attached now ("1-2.3"), root hubs and interfaces left out.
std::vector<std::string> UsbDevicePortPaths();

// The device's serial number string as the kernel read it, every byte of it but the end of
// line the kernel adds; empty when it has none.
std::string ReadSerialNumber(const std::string& portPath);

// A decimal attribute of the device (busnum, devnum, bConfigurationValue); nullopt when it is
// missing, empty or not a number (an unconfigured device shows an empty bConfigurationValue).
std::optional<unsigned> ReadNumberAttribute(const std::string& portPath, const char* name);

// The raw descriptors the kernel keeps of the device: its device descriptor, then each of its
// configurations whole. Empty when they cannot be read.
std::vector<std::uint8_t> ReadDescriptors(const std::string& portPath);

// The sysfs directory of one of the device's interfaces.
std::string InterfaceDirectory(const std::string& portPath, int configuration, int interfaceNumber);

// The name of the kernel driver bound to that interface ("cdc_acm", "usbfs" for a process's
// claim); empty when none is.
std::string InterfaceDriverName(const std::string& portPath, int configuration,
                                int interfaceNumber);

// Whether a process holds that interface claimed through usbfs: the kernel then shows "usbfs" as
// its driver. A claim of our own shows the same, so ask only while holding none.
bool InterfaceClaimedByProcess(const std::string& portPath, int configuration, int interfaceNumber);

// The device node of the tty the kernel made for that interface ("/dev/ttyACM0"); nullopt while
// no driver has made one.
std::optional<std::string> InterfaceTtyNode(const std::string& portPath, int configuration,
                                            int interfaceNumber);

// The link udev made to that tty in /dev/serial/by-id ("/dev/serial/by-id/usb-..."), a name that
// stays when the kernel numbers the tty anew; empty where there is none (no udevd, no rule).
std::string StableTtyName(const std::string& ttyNode);
