#include "serial_port_map.h"

#include <windows.h>

namespace {
constexpr char serialcomm_key[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
} // namespace

std::string serial_port_entry(std::size_t printer_index) {
    return "\\Device\\QZMPUSBPort" + std::to_string(printer_index);
}

bool publish_serial_port(const std::string& entry, const std::string& port, std::string& error) {
    HKEY key = nullptr;
    // HARDWARE is volatile, so the key must be too if it has to be made.
    LONG status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, serialcomm_key, 0, nullptr,
                                  REG_OPTION_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExA(key, entry.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(port.c_str()),
                                static_cast<DWORD>(port.size() + 1));
        RegCloseKey(key);
    }
    if (status != ERROR_SUCCESS) {
        error = "writing SERIALCOMM failed with error " + std::to_string(status);
        return false;
    }
    return true;
}

void remove_serial_port(const std::string& entry) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, serialcomm_key, 0, KEY_SET_VALUE, &key) ==
        ERROR_SUCCESS) {
        RegDeleteValueA(key, entry.c_str());
        RegCloseKey(key);
    }
}
