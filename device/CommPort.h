// Finds the virtual serial port that the printer's comm class driver creates.
#pragma once

#include <string>

// Reads the port name (such as COM5) from the serial-port device map into the caller's
// zero-filled buffer, always NUL-terminated within nBufSize bytes. Returns false, after
// printing the reason to standard output, when the key or value is missing or the name
// does not fit.
bool GetCommPortName(char* pszPortName, int nBufSize);

// Appends " = <port>" to a mode's display string when the port is listed; otherwise leaves it
// as it is (the lookup has printed why).
void AppendCommPortName(std::string& text);

constexpr int kPortNameSize = 32;
constexpr const char* kSerialCommKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr const char* kPrinterPortValue = "\\Device\\QZMPUSBPort0";
