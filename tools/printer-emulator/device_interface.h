// The names under which one device interface appears: registry keys for the Setup API, the
// object-namespace link that makes its device path openable, and the path a client sees.
#pragma once

#include "usb_mode.h"

#include <string>
#include <string_view>

struct DeviceInterface {
    std::string hardware_id; // "VID_6B1F&PID_C302"
    std::string instance;    // the device's serial-like instance name
    UsbMode interface_class;
};

// "VID_6B1F&PID_<product ID>"
std::string printer_hardware_id(std::string_view product_id);
DeviceInterface printer_interface(std::string_view product_id, std::string_view serial,
                                  UsbMode mode);
// Listed with the printer's IDs but never reachable. Its instance name sorts before the
// printers' default ones, so a client meets it first.
DeviceInterface dead_interface(std::string_view product_id, UsbMode mode);
// Listed without the printer's IDs; its instance name also sorts first.
DeviceInterface foreign_interface(UsbMode mode);

// "USB\VID_6B1F&PID_C302\<instance>"
std::string device_instance_id(const DeviceInterface& device);
// Under HKLM: the class's DeviceClasses list.
std::string class_key_path(UsbMode interface_class);
// The start of the key names in that list of every interface of a hardware ID.
std::string interface_key_prefix(const std::string& hardware_id);
// Under HKLM: the interface's key in the class's DeviceClasses list.
std::string interface_key_path(const DeviceInterface& device);
// Under HKLM: the USB enumerator's key of a hardware ID, holding one key per instance.
std::string hardware_key_path(const std::string& hardware_id);
// Under HKLM: the device's key in the USB enumerator.
std::string enum_key_path(const DeviceInterface& device);
// "\\?\usb#vid_6b1f&pid_c302#<instance>#{class}": Wine's Setup API lower-cases the path.
std::string device_path(const DeviceInterface& device);
// "\??\usb#...": where CreateFile looks the device path up.
std::wstring object_link_name(const DeviceInterface& device);
