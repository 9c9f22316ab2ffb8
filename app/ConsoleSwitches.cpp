#include "app/ConsoleSwitches.h"

#include "app/ExitCodes.h"
#include "common/ConsoleOutput.h"
#include "device/CommPort.h"
#include "device/ProbeUsb.h"
#include "modechange/SetUsbType.h"

#include <cstdio>
#include <string>

namespace {
void ReportCommPort() {
    char szPortName[kPortNameSize] = {};
    if (GetCommPortName(szPortName, kPortNameSize)) {
        std::printf("Comm Class USB virtual port = %s\n", szPortName);
    }
    std::fflush(stdout);
}
} // namespace

int RunModeSwitch(const SwitchFlags& flags) {
    UsbType target = IDNATIVETYPE;
    if (flags.printerClass) {
        target = IDPRINTERCLASSTYPE;
    } else if (flags.commClass) {
        target = IDCOMMCLASSTYPE;
    } else if (!flags.native) {
        return kExitOk;
    }

    char szUsbString[kUsbStringSize] = {};
    const UsbType current = ProbeUsb(szUsbString, kUsbStringSize);
    if (IsProbeError(szUsbString)) {
        PrintLine(szUsbString);
        return kExitNoPrinter;
    }
    if (current == target) {
        PrintLine(std::string("Already set to ") + ModeName(target));
        return kExitOk;
    }

    switch (SetUsbType(target)) {
    case ModeChangeResult::NoPrinter:
        return kExitNoPrinter;
    case ModeChangeResult::Timeout:
        return kExitRestartTimeout;
    case ModeChangeResult::Changed:
        break;
    }
    if (target == IDCOMMCLASSTYPE) {
        ReportCommPort();
    }
    return kExitOk;
}
