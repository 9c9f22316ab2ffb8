// The descriptors the kernel keeps of a USB device, read as the device sent them. They come
// from the device, so every length in them is checked before it is believed.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

struct UsbEndpoint {
    std::uint8_t address = 0;    // bEndpointAddress: the number, and bit 7 for IN
    std::uint8_t attributes = 0; // bmAttributes: the transfer type in bits 0 and 1
};

struct UsbInterfaceSetting {
    int number = 0;
    std::uint8_t interfaceClass = 0;
    std::vector<UsbEndpoint> endpoints;
};

struct UsbDeviceIds {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

// The IDs in the device descriptor at the start; nullopt when there is none.
std::optional<UsbDeviceIds> DeviceIdsOf(std::span<const std::uint8_t> raw);

// The first setting of each interface of the configuration whose bConfigurationValue is
// `configuration`, in the order the configuration lists them; nullopt when no configuration
// with that value follows the device descriptor. A configuration cut short is read as far as it
// goes, and a descriptor whose length runs past it ends the walk there.
std::optional<std::vector<UsbInterfaceSetting>>
InterfacesOfConfiguration(std::span<const std::uint8_t> raw, unsigned configuration);
