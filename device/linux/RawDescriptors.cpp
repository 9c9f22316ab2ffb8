#include "device/linux/RawDescriptors.h"

#include <algorithm>

namespace {
constexpr std::uint8_t kDeviceType = 1;
constexpr std::uint8_t kConfigurationType = 2;
constexpr std::uint8_t kInterfaceType = 4;
constexpr std::uint8_t kEndpointType = 5;
constexpr std::size_t kDeviceLength = 18;
constexpr std::size_t kConfigurationLength = 9;
constexpr std::size_t kInterfaceLength = 9;
constexpr std::size_t kEndpointLength = 7;

std::uint16_t Word(std::span<const std::uint8_t> raw, std::size_t at) {
    return static_cast<std::uint16_t>(raw[at] | raw[at + 1] << 8);
}

// The interfaces within one configuration's bytes, its own descriptor first.
std::vector<UsbInterfaceSetting> InterfacesIn(std::span<const std::uint8_t> config) {
    std::vector<UsbInterfaceSetting> interfaces;
    UsbInterfaceSetting* current = nullptr;
    for (std::size_t at = config[0]; at + 2 <= config.size();) {
        const std::size_t length = config[at];
        if (length < 2 || at + length > config.size()) {
            break;
        }
        const std::uint8_t type = config[at + 1];
        if (type == kInterfaceType && length >= kInterfaceLength) {
            const int number = config[at + 2];
            const bool seen =
                std::any_of(interfaces.begin(), interfaces.end(),
                            [&](const auto& other) { return other.number == number; });
            current = nullptr;
            if (!seen) {
                current = &interfaces.emplace_back();
                current->number = number;
                current->interfaceClass = config[at + 5];
            }
        } else if (type == kEndpointType && length >= kEndpointLength && current != nullptr) {
            current->endpoints.push_back({config[at + 2], config[at + 3]});
        }
        at += length;
    }
    return interfaces;
}
} // namespace

std::optional<UsbDeviceIds> DeviceIdsOf(std::span<const std::uint8_t> raw) {
    if (raw.size() < kDeviceLength || raw[0] < kDeviceLength || raw[1] != kDeviceType) {
        return std::nullopt;
    }
    return UsbDeviceIds{Word(raw, 8), Word(raw, 10)};
}

std::optional<std::vector<UsbInterfaceSetting>>
InterfacesOfConfiguration(std::span<const std::uint8_t> raw, unsigned configuration) {
    if (!DeviceIdsOf(raw)) {
        return std::nullopt;
    }
    for (std::size_t at = raw[0]; at + kConfigurationLength <= raw.size();) {
        const std::size_t length = raw[at];
        // A configuration cut short is read as far as it goes.
        const std::size_t total = std::min<std::size_t>(Word(raw, at + 2), raw.size() - at);
        if (raw[at + 1] != kConfigurationType || length < kConfigurationLength || total < length) {
            return std::nullopt;
        }
        if (raw[at + 5] == configuration) {
            return InterfacesIn(raw.subspan(at, total));
        }
        at += total;
    }
    return std::nullopt;
}
