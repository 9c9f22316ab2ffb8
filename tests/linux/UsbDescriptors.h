// The descriptor blobs the kernel shows in sysfs ("descriptors": the device descriptor and then
// the active configuration) for the printer in each mode, a device of the printer's vendor and
// product that is no printer, and a hub.
#pragma once

#include "usb_mode.h"

#include <cstdint>
#include <string>
#include <vector>

// The printer's interfaces and bulk OUT endpoints in each mode; each mode has its own endpoint
// number, so a test sees which interface a command went to.
constexpr std::uint16_t kPrinterVendor = 0x6B1F;
constexpr std::uint8_t kNativeOut = 0x01;
constexpr std::uint8_t kPrinterClassOut = 0x03;
constexpr int kCommInterface = 0;
constexpr int kCommDataInterface = 1;
constexpr std::uint8_t kCommDataOut = 0x05;
// The endpoint each mode takes its commands on, by UsbMode.
constexpr std::uint8_t kOutEndpoints[] = {kNativeOut, kPrinterClassOut, kCommDataOut};

std::vector<std::uint8_t> PrinterDescriptors(UsbMode mode, std::uint16_t vendorId,
                                             std::uint16_t productId, bool hasSerial);
// A device of the printer's vendor and product with a HID interface only.
std::vector<std::uint8_t> ForeignDescriptors(std::uint16_t vendorId, std::uint16_t productId);
std::vector<std::uint8_t> HubDescriptors();

std::string Hex(const std::vector<std::uint8_t>& bytes);
