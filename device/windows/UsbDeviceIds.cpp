#include "device/windows/UsbDeviceIds.h"

#include <cstring>

const GUID kInterfaceClass[kUsbModeCount] = {
    // The native driver's class.
    {0x5E0A3C91, 0x7D24, 0x4B6F, {0x9A, 0x18, 0xC2, 0xD4, 0xE6, 0xF8, 0x0B, 0x13}},
    // USB printer class interfaces (GUID_DEVINTERFACE_USBPRINT).
    {0x28D78FAD, 0x5A12, 0x11D1, {0xAE, 0x5B, 0x00, 0x00, 0xF8, 0x03, 0xA8, 0xC2}},
    // Serial port interfaces (GUID_DEVINTERFACE_COMPORT).
    {0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}},
};

const GUID& InterfaceClassOf(UsbType mode) {
    if (mode == IDPRINTERCLASSTYPE || mode == IDCOMMCLASSTYPE) {
        return kInterfaceClass[mode];
    }
    return kInterfaceClass[IDNATIVETYPE];
}

const char* const kUsbDeviceIds[] = {
    "vid_6b1f&pid_c302",
    "vid_6b1f&pid_c318",
    "vid_6b1f&pid_c337",
    "VID_6B1F&PID_C302",
    "VID_6B1F&PID_C318",
    "VID_6B1F&PID_C337",
    nullptr,
};

int FindUsbDeviceId(const char* path) {
    for (int i = 0; kUsbDeviceIds[i] != nullptr; ++i) {
        if (std::strstr(path, kUsbDeviceIds[i]) != nullptr) {
            return i;
        }
    }
    return -1;
}

namespace {
// The hardware ID and the instance of an interface path "\\?\usb#<hardware id>#<instance>#{class}";
// false when the path does not have that shape.
bool SplitPath(const std::string& path, std::string* pHardwareId, std::string* pInstance) {
    const std::size_t first = path.find('#');
    const std::size_t second = first == std::string::npos ? first : path.find('#', first + 1);
    const std::size_t third = second == std::string::npos ? second : path.find('#', second + 1);
    if (third == std::string::npos) {
        return false;
    }
    *pHardwareId = path.substr(first + 1, second - first - 1);
    *pInstance = path.substr(second + 1, third - second - 1);
    return true;
}
} // namespace

std::string InstanceOfPath(const std::string& path) {
    std::string hardwareId;
    std::string instance;
    return SplitPath(path, &hardwareId, &instance) ? instance : path;
}

std::string InstanceIdOfPath(const std::string& path) {
    std::string hardwareId;
    std::string instance;
    if (!SplitPath(path, &hardwareId, &instance)) {
        return path;
    }
    std::string id = "USB\\" + hardwareId + "\\" + instance;
    for (char& c : id) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return id;
}

bool IsPrinterMeant(const PrinterTarget& printer, const std::string& path) {
    return printer.Matches(InstanceOfPath(path)) || printer.Matches(InstanceIdOfPath(path));
}
