#include "modechange/SetUsbType.h"

#include "common/ConsoleOutput.h"
#include "common/DebugTrace.h"
#include "device/ProbeUsb.h"
#include "modechange/ModeChangeSteps.h"

#include <string>

ModeChangeResult SetUsbType(UsbType target) {
    CUsbDevice device;
    char szUsbString[kUsbStringSize] = {};
    const UsbType current = ProbeUsb(szUsbString, kUsbStringSize);
    if (IsProbeError(szUsbString)) {
        PrintLine(szUsbString);
        return ModeChangeResult::NoPrinter;
    }

    SendModeCommand(device, current, target, kConsoleChange);

    if (!WaitForRestart(device, target, kConsoleChange)) {
        PrintLine(FormatText("Printer did not come back in %s mode within %d seconds",
                             ModeName(target), static_cast<int>(kRestartWaitLimitMs / 1000)));
        return ModeChangeResult::Timeout;
    }

    ProbeUsb(szUsbString, kUsbStringSize);
    if (IsProbeError(szUsbString)) {
        // It answered in the new mode and was gone again at once: no success to report.
        PrintLine(szUsbString);
        return ModeChangeResult::NoPrinter;
    }
    PrintLine(std::string("Now set to ") + szUsbString);
    return ModeChangeResult::Changed;
}
