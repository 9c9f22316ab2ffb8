// What the emulator writes where Wine's Setup API and the readers of a comm class port look: a
// device interface's keys, and the port names of a printer in comm class mode. Removing what is
// missing is fine.
#pragma once

#include "device_interface.h"

#include <cstddef>
#include <string>

bool register_device_interface(const DeviceInterface& device, std::string& error);
// The device's key alone, with its setup class: a device node without an interface, as a
// device without a driver shows.
bool register_device_node(const DeviceInterface& device, std::string& error);
void remove_device_interface(const DeviceInterface& device);
// Whether the device's key or its interface's key is there.
bool device_keys_left(const DeviceInterface& device);

// "\Device\QZMPUSBPort<n>": the SERIALCOMM entry of the n-th printer attached, counted from 0.
std::string serial_port_entry(std::size_t printer_index);
bool publish_serial_port(const std::string& entry, const std::string& port, std::string& error);
void remove_serial_port(const std::string& entry);

// PortName under the device's key, in Device Parameters, where its comm class driver keeps it.
bool publish_device_port(const DeviceInterface& device, const std::string& port,
                         std::string& error);
void remove_device_port(const DeviceInterface& device);

// Removes every registration, device key and port entry an emulator may have made, whatever
// the serials it was given.
void purge_emulated_devices();
