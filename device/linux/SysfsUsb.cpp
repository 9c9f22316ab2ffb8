#include "device/linux/SysfsUsb.h"

#include "common/DebugTrace.h"

#include <cstdio>
#include <filesystem>

namespace {
constexpr const char* kUsbDevices = "/sys/bus/usb/devices/";
// A serial number string holds at most 126 UTF-16 units; as UTF-8 that is well within this.
constexpr int kAttributeRoom = 512;

std::string ReadAttribute(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) {
        return {};
    }
    char text[kAttributeRoom] = {};
    const bool read = std::fgets(text, sizeof text, file) != nullptr;
    std::fclose(file);
    std::string value = read ? text : "";
    while (!value.empty() && (value.back() == '\n' || value.back() == ' ')) {
        value.pop_back();
    }
    return value;
}
} // namespace

std::string ReadSerialNumber(const std::string& portPath) {
    return ReadAttribute(kUsbDevices + portPath + "/serial");
}

std::string InterfaceDirectory(const std::string& portPath, int configuration,
                               int interfaceNumber) {
    return FormatText("%s%s:%d.%d", kUsbDevices, portPath.c_str(), configuration, interfaceNumber);
}

bool InterfaceClaimedByProcess(const std::string& portPath, int configuration,
                               int interfaceNumber) {
    std::error_code error;
    const std::filesystem::path driver = std::filesystem::read_symlink(
        std::filesystem::path(InterfaceDirectory(portPath, configuration, interfaceNumber)) /
            "driver",
        error);
    return !error && driver.filename() == "usbfs";
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
