#include "registry.h"

#include "emulator_options.h"

#include <windows.h>

#include <array>
#include <cstring>
#include <vector>

namespace {

// The setup class of USB devices; the Setup API wants the device's key to name one.
constexpr char usb_setup_class[] = "{36FC9E60-C465-11CF-8056-444553540000}";
constexpr char serialcomm_key[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr std::array<std::string_view, 3> printer_product_ids{"C302", "C318", "C337"};

// Sets a value under HKLM, making its key first. Keys under HARDWARE are volatile, so one made
// there must be too.
bool set_value(const std::string& path, const char* name, DWORD type, const void* data, DWORD size,
               std::string& error) {
    const DWORD options = path.rfind("HARDWARE\\", 0) == 0 ? REG_OPTION_VOLATILE : 0;
    HKEY key = nullptr;
    LONG status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, options,
                                  KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
    if (status != ERROR_SUCCESS) {
        error = "setting " + std::string(name) + " under " + path + " failed with error " +
                std::to_string(status);
        return false;
    }
    return true;
}

bool set_string(const std::string& path, const char* name, const std::string& value,
                std::string& error) {
    return set_value(path, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1),
                     error);
}

std::string parent_of(const std::string& path) {
    return path.substr(0, path.rfind('\\'));
}

// Removes a key and, if nothing is left beside it, its parent, so the emulator leaves no empty
// keys behind.
void remove_tree(const std::string& path) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, path.c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, parent_of(path).c_str());
}

// The names of the keys right under `path`.
std::vector<std::string> subkey_names(const std::string& path) {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, &key) !=
        ERROR_SUCCESS) {
        return names;
    }
    char name[256]; // the longest key name the registry allows, and its terminator
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
    }
    RegCloseKey(key);
    return names;
}

// Removes every interface and device key of `hardware_id`, whatever their instance names.
void remove_devices_of(const std::string& hardware_id) {
    const std::string prefix = interface_key_prefix(hardware_id);
    for (const UsbMode mode : all_usb_modes) {
        const std::string class_key = class_key_path(mode);
        // Collected first: deleting keys while enumerating them would skip some.
        for (const std::string& name : subkey_names(class_key)) {
            if (_strnicmp(name.c_str(), prefix.c_str(), prefix.size()) == 0) {
                RegDeleteTreeA(HKEY_LOCAL_MACHINE, (class_key + "\\").append(name).c_str());
            }
        }
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, class_key.c_str());
    }
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, hardware_key_path(hardware_id).c_str());
}

} // namespace

bool register_device_node(const DeviceInterface& device, std::string& error) {
    return set_string(enum_key_path(device), "ClassGUID", usb_setup_class, error);
}

bool register_device_interface(const DeviceInterface& device, std::string& error) {
    const DWORD linked = 1;
    // "#" is the interface without a reference string; Linked=1 is what makes it present.
    return register_device_node(device, error) &&
           set_string(interface_key_path(device), "DeviceInstance", device_instance_id(device),
                      error) &&
           set_value(interface_key_path(device) + "\\#\\Control", "Linked", REG_DWORD, &linked,
                     sizeof linked, error);
}

void remove_device_interface(const DeviceInterface& device) {
    remove_tree(interface_key_path(device));
    remove_tree(enum_key_path(device));
}

bool device_keys_left(const DeviceInterface& device) {
    for (const std::string& path : {enum_key_path(device), interface_key_path(device)}) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
            RegCloseKey(key);
            return true;
        }
    }
    return false;
}

std::string serial_port_entry(std::size_t printer_index) {
    return "\\Device\\QZMPUSBPort" + std::to_string(printer_index);
}

bool publish_serial_port(const std::string& entry, const std::string& port, std::string& error) {
    return set_string(serialcomm_key, entry.c_str(), port, error);
}

void remove_serial_port(const std::string& entry) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, serialcomm_key, 0, KEY_SET_VALUE, &key) ==
        ERROR_SUCCESS) {
        RegDeleteValueA(key, entry.c_str());
        RegCloseKey(key);
    }
}

bool publish_device_port(const DeviceInterface& device, const std::string& port,
                         std::string& error) {
    return set_string(enum_key_path(device) + "\\Device Parameters", "PortName", port, error);
}

void remove_device_port(const DeviceInterface& device) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, (enum_key_path(device) + "\\Device Parameters").c_str());
}

void purge_emulated_devices() {
    for (const std::string_view product_id : printer_product_ids) {
        remove_devices_of(printer_hardware_id(product_id));
    }
    remove_devices_of(foreign_interface(UsbMode::Native).hardware_id);
    for (std::size_t index = 0; index < max_printers; ++index) {
        remove_serial_port(serial_port_entry(index));
    }
}
