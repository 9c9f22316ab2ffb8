#include "device_interface.h"

#include <algorithm>
#include <cctype>

namespace {

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The part shared by the key name and the path: "USB#VID_6B1F&PID_C302#<instance>#{class}".
std::string hashed_name(const DeviceInterface& device) {
    return "USB#" + device.hardware_id + "#" + device.instance + "#" +
           std::string(interface_class_guid(device.interface_class));
}

} // namespace

std::string printer_hardware_id(std::string_view product_id) {
    return "VID_6B1F&PID_" + std::string(product_id);
}

DeviceInterface printer_interface(std::string_view product_id, std::string_view serial,
                                  UsbMode mode) {
    return DeviceInterface{printer_hardware_id(product_id), std::string(serial), mode};
}

DeviceInterface dead_interface(std::string_view product_id, UsbMode mode) {
    return DeviceInterface{printer_hardware_id(product_id), "ORVEMU0000", mode};
}

DeviceInterface foreign_interface(UsbMode mode) {
    return DeviceInterface{"VID_1234&PID_5678", "ORVEMU0002", mode};
}

std::string device_instance_id(const DeviceInterface& device) {
    return "USB\\" + device.hardware_id + "\\" + device.instance;
}

std::string class_key_path(UsbMode interface_class) {
    return "System\\CurrentControlSet\\Control\\DeviceClasses\\" +
           std::string(interface_class_guid(interface_class));
}

std::string interface_key_prefix(const std::string& hardware_id) {
    return "##?#USB#" + hardware_id + "#";
}

std::string interface_key_path(const DeviceInterface& device) {
    return class_key_path(device.interface_class) + "\\##?#" + hashed_name(device);
}

std::string hardware_key_path(const std::string& hardware_id) {
    return "System\\CurrentControlSet\\Enum\\USB\\" + hardware_id;
}

std::string enum_key_path(const DeviceInterface& device) {
    return hardware_key_path(device.hardware_id) + "\\" + device.instance;
}

std::string device_path(const DeviceInterface& device) {
    return "\\\\?\\" + lower(hashed_name(device));
}

std::wstring object_link_name(const DeviceInterface& device) {
    const std::string name = "\\??\\" + lower(hashed_name(device));
    return std::wstring(name.begin(), name.end());
}
