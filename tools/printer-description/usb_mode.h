// The printer's three USB personalities and the device interface class each one exposes.
#pragma once

#include <array>
#include <optional>
#include <string_view>

enum class UsbMode { Native = 0, PrinterClass = 1, CommClass = 2 };

inline constexpr std::array<UsbMode, 3> all_usb_modes{UsbMode::Native, UsbMode::PrinterClass,
                                                      UsbMode::CommClass};

// "native", "printer", "comm": the words used on the command line and in the log.
std::string_view usb_mode_name(UsbMode mode);
std::optional<UsbMode> usb_mode_from_name(std::string_view name);
// The mode byte of the mode command.
std::optional<UsbMode> usb_mode_from_byte(unsigned char value);
// "{...}" in upper case, as the registry spells it.
std::string_view interface_class_guid(UsbMode mode);
