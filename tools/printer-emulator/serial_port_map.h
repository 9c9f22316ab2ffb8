// The SERIALCOMM entry through which the printer's comm class driver names its virtual port.
#pragma once

#include <string>

bool publish_serial_port(const std::string& port, std::string& error);
// Removes the printer's entry; a missing entry is fine.
void remove_serial_port();
