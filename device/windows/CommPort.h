// Finds the virtual serial port that the printer's comm class driver lists in the serial-port
// device map, the place Windows has always named it.
#pragma once

#include <string>

// Reads the port name (such as COM5) from the serial-port device map into the caller's
// zero-filled buffer, always NUL-terminated within nBufSize bytes. Returns false, after
// printing the reason to standard output, when the key or value is missing or the name
// does not fit.
bool GetCommPortName(char* pszPortName, int nBufSize);

// The same lookup without a word to the console: on failure *pProblem receives the line that
// GetCommPortName prints.
bool ReadCommPortName(char* pszPortName, int nBufSize, std::string* pProblem);

constexpr int kPortNameSize = 32;
constexpr const char* kSerialCommKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr const char* kPrinterPortValue = "\\Device\\QZMPUSBPort0";
