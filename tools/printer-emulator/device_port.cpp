#include "device_port.h"

#include <windows.h>

namespace {

std::string parameters_key_path(const DeviceInterface& device) {
    return enum_key_path(device) + "\\Device Parameters";
}

} // namespace

bool publish_device_port(const DeviceInterface& device, const std::string& port,
                         std::string& error) {
    HKEY key = nullptr;
    LONG status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, parameters_key_path(device).c_str(), 0,
                                  nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) {
        status =
            RegSetValueExA(key, "PortName", 0, REG_SZ, reinterpret_cast<const BYTE*>(port.c_str()),
                           static_cast<DWORD>(port.size() + 1));
        RegCloseKey(key);
    }
    if (status != ERROR_SUCCESS) {
        error = "writing PortName failed with error " + std::to_string(status);
        return false;
    }
    return true;
}

void remove_device_port(const DeviceInterface& device) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, parameters_key_path(device).c_str());
}
