#include "interface_registry.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace {

// The setup class of USB devices; the Setup API wants the device's key to name one.
constexpr char usb_setup_class[] = "{36FC9E60-C465-11CF-8056-444553540000}";

class RegistryKey {
  public:
    explicit RegistryKey(const std::string& path) {
        status_ = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key_, nullptr);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey() {
        if (status_ == ERROR_SUCCESS) {
            RegCloseKey(key_);
        }
    }
    LONG status() const { return status_; }
    LONG set_string(const char* name, const std::string& value) {
        return RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>(value.size() + 1));
    }
    LONG set_dword(const char* name, DWORD value) {
        return RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                              sizeof value);
    }

  private:
    HKEY key_ = nullptr;
    LONG status_ = ERROR_INVALID_HANDLE;
};

bool failed(LONG status, const std::string& what, std::string& error) {
    if (status == ERROR_SUCCESS) {
        return false;
    }
    error = what + " failed with error " + std::to_string(status);
    return true;
}

// Removes `path` if nothing is left under it, so the emulator leaves no empty keys behind.
void remove_if_empty(const std::string& path) {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
}

std::string parent_of(const std::string& path) {
    return path.substr(0, path.rfind('\\'));
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

bool starts_with_ignoring_case(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           _strnicmp(text.c_str(), prefix.c_str(), prefix.size()) == 0;
}

} // namespace

bool register_device_interface(const DeviceInterface& device, std::string& error) {
    RegistryKey enum_key(enum_key_path(device));
    if (failed(enum_key.status(), "creating " + enum_key_path(device), error) ||
        failed(enum_key.set_string("ClassGUID", usb_setup_class), "setting ClassGUID", error)) {
        return false;
    }
    RegistryKey interface_key(interface_key_path(device));
    if (failed(interface_key.status(), "creating " + interface_key_path(device), error) ||
        failed(interface_key.set_string("DeviceInstance", device_instance_id(device)),
               "setting DeviceInstance", error)) {
        return false;
    }
    // "#" is the interface without a reference string; Linked=1 is what makes it present.
    RegistryKey control_key(interface_key_path(device) + "\\#\\Control");
    return !failed(control_key.status(), "creating the Control key", error) &&
           !failed(control_key.set_dword("Linked", 1), "setting Linked", error);
}

void remove_device_interface(const DeviceInterface& device) {
    const std::string interface_key = interface_key_path(device);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, interface_key.c_str());
    remove_if_empty(parent_of(interface_key));
    const std::string enum_key = enum_key_path(device);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, enum_key.c_str());
    remove_if_empty(parent_of(enum_key));
}

void remove_devices_of(const std::string& hardware_id) {
    const std::string prefix = interface_key_prefix(hardware_id);
    for (const UsbMode mode : all_usb_modes) {
        const std::string class_key = class_key_path(mode);
        // Collected first: deleting keys while enumerating them would skip some.
        for (const std::string& name : subkey_names(class_key)) {
            if (starts_with_ignoring_case(name, prefix)) {
                RegDeleteTreeA(HKEY_LOCAL_MACHINE, (class_key + "\\" + name).c_str());
            }
        }
        remove_if_empty(class_key);
    }
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, hardware_key_path(hardware_id).c_str());
}
