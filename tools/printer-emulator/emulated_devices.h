// Every device interface the emulator can list, named in one place so that a purge finds
// whatever an earlier, killed emulator left behind.
#pragma once

#include "device_interface.h"

#include <array>
#include <string>
#include <string_view>

inline constexpr std::array<std::string_view, 3> printer_product_ids{"C302", "C318", "C337"};

DeviceInterface printer_interface(std::string_view product_id, std::string_view serial,
                                  UsbMode mode);
// Listed with the printer's IDs but never reachable. Its instance name sorts before the
// printers' default ones, so a client meets it first.
DeviceInterface dead_interface(std::string_view product_id, UsbMode mode);
// Listed without the printer's IDs; its instance name also sorts first.
DeviceInterface foreign_interface(UsbMode mode);

// The pipe a foreign interface's path opens, as server name and as link target.
std::string foreign_pipe_name(UsbMode mode);
std::wstring foreign_link_target(UsbMode mode);

// Removes every registration, device key and port entry an emulator may have made, whatever
// the serials it was given.
void purge_emulated_devices();
