// Lists and unlists a device interface where Wine's Setup API looks for present interfaces.
#pragma once

#include "device_interface.h"

#include <string>

bool register_device_interface(const DeviceInterface& device, std::string& error);
// Removes what register_device_interface made; missing keys are fine.
void remove_device_interface(const DeviceInterface& device);
// Removes every interface and device key of `hardware_id`, whatever their instance names.
void remove_devices_of(const std::string& hardware_id);
