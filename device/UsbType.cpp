#include "device/UsbType.h"

const char* const kModeNames[kUsbModeCount + 1] = {
    "Native USB",
    "Printer Class USB",
    "Comm Class USB",
    "Error opening USB",
};

const char* ModeName(UsbType mode) {
    return kModeNames[mode == IDPRINTERCLASSTYPE || mode == IDCOMMCLASSTYPE ? mode : IDNATIVETYPE];
}

const char* const kModeTraceNames[kUsbModeCount] = {
    "IDNATIVETYPE",
    "IDPRINTERCLASSTYPE",
    "IDCOMMCLASSTYPE",
};
