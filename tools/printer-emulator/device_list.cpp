// DeviceList.exe: lists the present interfaces of one printer class through the Setup API, the
// way a client that tells several printers apart finds them, so the emulator's own cases can
// check what such a client reads back.
//   DeviceList.exe native|printer|comm
// Prints one line per interface: "<device path> <device instance ID> port=<PortName>", where
// PortName is read from the device's key (SetupDiOpenDevRegKey, DIREG_DEV); when it cannot be
// read, "port-error=0x<error in hex>" instead. Exits 0 after a full listing, 1 on failure, 2 on bad
// arguments.
#include "usb_mode.h"

#include <windows.h>

#include <objbase.h>
#include <setupapi.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

class DeviceInfoSet {
  public:
    explicit DeviceInfoSet(HDEVINFO set) : set_(set) {}
    DeviceInfoSet(const DeviceInfoSet&) = delete;
    DeviceInfoSet& operator=(const DeviceInfoSet&) = delete;
    ~DeviceInfoSet() {
        if (valid()) {
            SetupDiDestroyDeviceInfoList(set_);
        }
    }
    bool valid() const { return set_ != INVALID_HANDLE_VALUE; }
    HDEVINFO get() const { return set_; }

  private:
    HDEVINFO set_;
};

std::optional<GUID> class_guid(UsbMode mode) {
    const std::string_view text = interface_class_guid(mode);
    const std::wstring wide(text.begin(), text.end());
    GUID guid{};
    if (FAILED(CLSIDFromString(wide.c_str(), &guid))) {
        return std::nullopt;
    }
    return guid;
}

std::string port_error(unsigned long error) {
    char text[32];
    std::snprintf(text, sizeof text, "port-error=0x%lX", error);
    return text;
}

// "port=<name>" or "port-error=0x<error>".
std::string port_of(HDEVINFO set, SP_DEVINFO_DATA& device) {
    const HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) {
        return port_error(GetLastError());
    }
    char name[64] = {};
    DWORD type = 0;
    DWORD size = sizeof name - 1; // room for a terminator the value may lack
    const LONG status =
        RegQueryValueExA(key, "PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        return port_error(static_cast<unsigned long>(status));
    }
    return type == REG_SZ ? "port=" + std::string(name) : port_error(ERROR_DATATYPE_MISMATCH);
}

// Prints the line of the `index`-th interface; false once there is none.
bool list_interface(HDEVINFO set, const GUID& guid, DWORD index, bool& failed) {
    SP_DEVICE_INTERFACE_DATA interface_data{};
    interface_data.cbSize = sizeof interface_data;
    if (!SetupDiEnumDeviceInterfaces(set, nullptr, &guid, index, &interface_data)) {
        failed = GetLastError() != ERROR_NO_MORE_ITEMS;
        return false;
    }
    DWORD needed = 0;
    SetupDiGetDeviceInterfaceDetailA(set, &interface_data, nullptr, 0, &needed, nullptr);
    // Whole 8-byte units keep the detail record aligned.
    std::vector<std::uint64_t> storage(needed / sizeof(std::uint64_t) + 1);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage.data());
    detail->cbSize = sizeof *detail;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    char instance_id[256] = {};
    if (!SetupDiGetDeviceInterfaceDetailA(set, &interface_data, detail,
                                          static_cast<DWORD>(storage.size() * 8), nullptr,
                                          &device) ||
        !SetupDiGetDeviceInstanceIdA(set, &device, instance_id, sizeof instance_id, nullptr)) {
        std::printf("error %lu\n", GetLastError());
        failed = true;
        return true;
    }
    std::printf("%s %s %s\n", detail->DevicePath, instance_id, port_of(set, device).c_str());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<UsbMode> mode = argc == 2 ? usb_mode_from_name(argv[1]) : std::nullopt;
    const std::optional<GUID> guid = mode ? class_guid(*mode) : std::nullopt;
    if (!guid) {
        std::fprintf(stderr, "usage: DeviceList.exe native|printer|comm\n");
        return 2;
    }
    const DeviceInfoSet set(
        SetupDiGetClassDevsA(&*guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!set.valid()) {
        std::printf("error %lu\n", GetLastError());
        return 1;
    }
    bool failed = false;
    for (DWORD index = 0; list_interface(set.get(), *guid, index, failed); ++index) {
    }
    return failed ? 1 : 0;
}
