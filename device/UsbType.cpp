#include "device/UsbType.h"

namespace {
constexpr std::array<const char*, kUsbModeCount> kModeNames = {
    "Native USB",
    "Printer Class USB",
    "Comm Class USB",
};

constexpr std::array<const char*, kUsbModeCount> kModeTraceNames = {
    "IDNATIVETYPE",
    "IDPRINTERCLASSTYPE",
    "IDCOMMCLASSTYPE",
};
} // namespace

const char* const kErrorOpeningUsb = "Error opening USB";

const char* ModeName(UsbType mode) {
    return kModeNames[IsUsbMode(mode) ? mode : IDNATIVETYPE];
}

const char* ModeTraceName(UsbType mode) {
    return IsUsbMode(mode) ? kModeTraceNames[mode] : nullptr;
}
