// The SERIALCOMM entries through which the printer's comm class driver names its virtual port.
#pragma once

#include <cstddef>
#include <string>

// "\Device\QZMPUSBPort<n>": the entry of the n-th printer attached, counted from 0.
std::string serial_port_entry(std::size_t printer_index);

bool publish_serial_port(const std::string& entry, const std::string& port, std::string& error);
// Removes the entry; a missing entry is fine.
void remove_serial_port(const std::string& entry);
