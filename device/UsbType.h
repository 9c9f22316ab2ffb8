// The printer's three USB modes: their numbers, display strings, trace names, and the order in
// which Orvane looks for a printer in them.
#pragma once

#include <array>

// The USB mode. Its underlying type is a signed integer so that any value can be handed around;
// only 0, 1 and 2 name a mode.
enum UsbType : int {
    IDNATIVETYPE = 0,
    IDPRINTERCLASSTYPE = 1,
    IDCOMMCLASSTYPE = 2,
};
constexpr int kUsbModeCount = 3;

// The order in which the probe tries the modes, the printers are listed and each system's
// search walks them: native mode first, then printer class, then comm class.
constexpr std::array<UsbType, kUsbModeCount> kProbeOrder = {IDNATIVETYPE, IDPRINTERCLASSTYPE,
                                                            IDCOMMCLASSTYPE};

// True for the three modes.
constexpr bool IsUsbMode(UsbType mode) {
    return mode >= IDNATIVETYPE && mode <= IDCOMMCLASSTYPE;
}

// The display string of a mode; values outside the modes count as native.
const char* ModeName(UsbType mode);

// What the probe says when no mode could be opened.
extern const char* const kErrorOpeningUsb;

// The trace name of a mode (IDNATIVETYPE, ...); nullptr for a value outside the modes.
const char* ModeTraceName(UsbType mode);
