#include "device/linux/SysfsUsb.h"

#include "common/DebugTrace.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <filesystem>

namespace {
constexpr const char* kUsbDevices = "/sys/bus/usb/devices/";
// sysfs hands out at most a page per attribute, and a device's descriptors at most 64 KiB per
// configuration; a file that goes on past this is no attribute of a USB device.
constexpr std::size_t kAttributeLimit = 1 << 20;

// Every byte of the file, up to the limit; empty when it cannot be read.
std::string ReadWhole(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return {};
    }
    std::string value;
    char chunk[4096];
    std::size_t got = 0;
    while (value.size() < kAttributeLimit && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        value.append(chunk, got);
    }
    std::fclose(file);
    return value;
}

// "1-2.3": a bus number, a dash, then port numbers joined by dots.
bool IsPortPath(const std::string& name) {
    const std::size_t dash = name.find('-');
    if (dash == 0 || dash == std::string::npos || dash + 1 == name.size()) {
        return false;
    }
    bool afterSeparator = true;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool separator = i == dash || (i > dash && c == '.');
        if (separator ? afterSeparator : !std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
        afterSeparator = separator;
    }
    return !afterSeparator;
}
} // namespace

std::vector<std::string> UsbDevicePortPaths() {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(kUsbDevices, error), end; !error && entry != end;
         entry.increment(error)) {
        std::string name = entry->path().filename().string();
        if (IsPortPath(name)) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

std::string ReadSerialNumber(const std::string& portPath) {
    std::string serial = ReadWhole(kUsbDevices + portPath + "/serial");
    // The kernel ends the string with one newline of its own; what comes before is the device's.
    if (!serial.empty() && serial.back() == '\n') {
        serial.pop_back();
    }
    return serial;
}

std::optional<unsigned> ReadNumberAttribute(const std::string& portPath, const char* name) {
    const std::string text = ReadWhole(kUsbDevices + portPath + "/" + name);
    unsigned value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop == text.data() ||
        !(stop == end || (*stop == '\n' && stop + 1 == end))) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::uint8_t> ReadDescriptors(const std::string& portPath) {
    const std::string raw = ReadWhole(kUsbDevices + portPath + "/descriptors");
    return {raw.begin(), raw.end()};
}

std::string InterfaceDirectory(const std::string& portPath, int configuration,
                               int interfaceNumber) {
    return FormatText("%s%s:%d.%d", kUsbDevices, portPath.c_str(), configuration, interfaceNumber);
}

std::string InterfaceDriverName(const std::string& portPath, int configuration,
                                int interfaceNumber) {
    std::error_code error;
    const std::filesystem::path driver = std::filesystem::read_symlink(
        std::filesystem::path(InterfaceDirectory(portPath, configuration, interfaceNumber)) /
            "driver",
        error);
    return error ? std::string() : driver.filename().string();
}

bool InterfaceClaimedByProcess(const std::string& portPath, int configuration,
                               int interfaceNumber) {
    return InterfaceDriverName(portPath, configuration, interfaceNumber) == "usbfs";
}

std::optional<std::string> InterfaceTtyNode(const std::string& portPath, int configuration,
                                            int interfaceNumber) {
    const std::filesystem::path ttyDir =
        std::filesystem::path(InterfaceDirectory(portPath, configuration, interfaceNumber)) / "tty";
    // cdc_acm makes one tty per communications interface.
    std::error_code error;
    const std::filesystem::directory_iterator first(ttyDir, error);
    if (error || first == std::filesystem::directory_iterator()) {
        return std::nullopt;
    }
    return "/dev/" + first->path().filename().string();
}

std::string StableTtyName(const std::string& ttyNode) {
    std::error_code error;
    for (std::filesystem::directory_iterator link("/dev/serial/by-id", error), end;
         !error && link != end; link.increment(error)) {
        std::error_code resolveError;
        if (std::filesystem::canonical(link->path(), resolveError) == ttyNode && !resolveError) {
            return link->path().string();
        }
    }
    return {};
}
