#include "UsbDescriptors.h"

#include <cstdio>

namespace {
using Bytes = std::vector<std::uint8_t>;

std::uint8_t Low(int value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}
std::uint8_t High(int value) {
    return static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

Bytes Device(std::uint8_t deviceClass, std::uint16_t vendorId, std::uint16_t productId,
             bool hasSerial) {
    return {18,
            1,
            0x00,
            0x02,
            deviceClass,
            0,
            0,
            64,
            Low(vendorId),
            High(vendorId),
            Low(productId),
            High(productId),
            0x00,
            0x01,
            1,
            2,
            Low(hasSerial ? 3 : 0),
            1};
}

Bytes Interface(int number, std::uint8_t interfaceClass, std::uint8_t subClass,
                std::uint8_t protocol, int endpoints) {
    return {9, 4, Low(number), 0, Low(endpoints), interfaceClass, subClass, protocol, 0};
}

Bytes Endpoint(std::uint8_t address, std::uint8_t attributes, int maxPacket) {
    return {7, 5, address, attributes, Low(maxPacket), High(maxPacket), 0};
}
constexpr std::uint8_t kBulk = 2;
constexpr std::uint8_t kInterrupt = 3;

// The device descriptor, then the configuration header and its interfaces.
Bytes Blob(const Bytes& device, int interfaceCount, const std::vector<Bytes>& parts) {
    Bytes body;
    for (const Bytes& part : parts) {
        body.insert(body.end(), part.begin(), part.end());
    }
    const int total = 9 + static_cast<int>(body.size());
    Bytes blob = device;
    const Bytes config = {9, 2, Low(total), High(total), Low(interfaceCount), 1, 0, 0xC0, 50};
    blob.insert(blob.end(), config.begin(), config.end());
    blob.insert(blob.end(), body.begin(), body.end());
    return blob;
}
} // namespace

std::vector<std::uint8_t> PrinterDescriptors(UsbMode mode, std::uint16_t vendorId,
                                             std::uint16_t productId, bool hasSerial) {
    const Bytes device = Device(0, vendorId, productId, hasSerial);
    switch (mode) {
    case UsbMode::Native:
        return Blob(device, 1,
                    {Interface(0, 0xFF, 0, 0, 2), Endpoint(kNativeOut, kBulk, 64),
                     Endpoint(0x81, kBulk, 64)});
    case UsbMode::PrinterClass:
        return Blob(device, 1,
                    {Interface(0, 0x07, 1, 2, 2), Endpoint(kPrinterClassOut, kBulk, 64),
                     Endpoint(0x84, kBulk, 64)});
    default:
        // The communications interface's functional descriptors are left out: the kernel
        // would read them, Orvane does not.
        return Blob(device, 2,
                    {Interface(kCommInterface, 0x02, 2, 1, 1), Endpoint(0x86, kInterrupt, 16),
                     Interface(kCommDataInterface, 0x0A, 0, 0, 2),
                     Endpoint(kCommDataOut, kBulk, 64), Endpoint(0x87, kBulk, 64)});
    }
}

std::vector<std::uint8_t> ForeignDescriptors(std::uint16_t vendorId, std::uint16_t productId) {
    return Blob(Device(0, vendorId, productId, false), 1,
                {Interface(0, 0x03, 0, 0, 1), Endpoint(0x81, kInterrupt, 8)});
}

std::vector<std::uint8_t> HubDescriptors() {
    return Blob(Device(0x09, 0x1D6B, 0x0002, false), 1,
                {Interface(0, 0x09, 0, 0, 1), Endpoint(0x81, kInterrupt, 4)});
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    char digits[3] = {};
    for (const std::uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        text += digits;
    }
    return text;
}
