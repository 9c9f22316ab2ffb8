#include "usb_mode.h"

std::string_view usb_mode_name(UsbMode mode) {
    switch (mode) {
    case UsbMode::Native:
        return "native";
    case UsbMode::PrinterClass:
        return "printer";
    case UsbMode::CommClass:
        return "comm";
    }
    return "unknown";
}

std::optional<UsbMode> usb_mode_from_name(std::string_view name) {
    for (const UsbMode mode : all_usb_modes) {
        if (usb_mode_name(mode) == name) {
            return mode;
        }
    }
    return std::nullopt;
}

std::optional<UsbMode> usb_mode_from_byte(unsigned char value) {
    if (value >= all_usb_modes.size()) {
        return std::nullopt;
    }
    return all_usb_modes[value];
}

std::string_view interface_class_guid(UsbMode mode) {
    switch (mode) {
    case UsbMode::Native:
        return "{5E0A3C91-7D24-4B6F-9A18-C2D4E6F80B13}";
    case UsbMode::PrinterClass:
        return "{28D78FAD-5A12-11D1-AE5B-0000F803A8C2}";
    case UsbMode::CommClass:
        return "{86E0D1E0-8089-11D0-9CE4-08003E301F73}";
    }
    return "";
}
