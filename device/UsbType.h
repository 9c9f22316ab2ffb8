// The printer's three USB modes: their numbers, display strings and trace names.
#pragma once

// The USB mode: a signed integer so that any value can be handed around; only 0, 1 and 2
// name a mode.
using UsbType = int;

constexpr UsbType IDNATIVETYPE = 0;
constexpr UsbType IDPRINTERCLASSTYPE = 1;
constexpr UsbType IDCOMMCLASSTYPE = 2;
constexpr int kUsbModeCount = 3;

// Display strings, indexed by UsbType; the last entry stands for "no mode could be opened".
extern const char* const kModeNames[kUsbModeCount + 1];
constexpr int kModeNameError = kUsbModeCount;

// The display string of a mode; values outside the modes count as native.
const char* ModeName(UsbType mode);

// Trace names of the modes, indexed by UsbType.
extern const char* const kModeTraceNames[kUsbModeCount];

// Pipe names of the printer: the presence pipe proves the printer answers in a mode; the
// command pipe takes the mode command.
constexpr const char* kPresencePipe = "PIPE00";
constexpr const char* kCommandPipe = "PIPE01";
