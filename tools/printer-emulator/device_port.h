// The port name the comm class driver keeps in the device's own key, beside its SERIALCOMM
// entry: PortName under HKLM\System\CurrentControlSet\Enum\<instance ID>\Device Parameters.
#pragma once

#include "device_interface.h"

#include <string>

bool publish_device_port(const DeviceInterface& device, const std::string& port,
                         std::string& error);
// Removes the value and its key; a missing key is fine.
void remove_device_port(const DeviceInterface& device);
