#include "emulated_devices.h"

#include "emulator_options.h"
#include "interface_registry.h"
#include "serial_port_map.h"

namespace {

std::string printer_hardware_id(std::string_view product_id) {
    return "VID_6B1F&PID_" + std::string(product_id);
}

std::string foreign_pipe_leaf(UsbMode mode) {
    return "OrvanePrinterEmulator\\foreign-" + std::string(usb_mode_name(mode));
}

} // namespace

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

std::string foreign_pipe_name(UsbMode mode) {
    return "\\\\.\\pipe\\" + foreign_pipe_leaf(mode);
}

std::wstring foreign_link_target(UsbMode mode) {
    const std::string target = "\\Device\\NamedPipe\\" + foreign_pipe_leaf(mode);
    return std::wstring(target.begin(), target.end());
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
