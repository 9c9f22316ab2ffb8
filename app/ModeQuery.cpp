#include "app/ModeQuery.h"

#include "app/ExitCodes.h"
#include "common/ConsoleOutput.h"
#include "device/CommPort.h"
#include "device/ProbeUsb.h"

#include <string>

int ReportMode() {
    char szUsbString[kUsbStringSize] = {};
    const UsbType mode = ProbeUsb(szUsbString, kUsbStringSize);
    std::string line = szUsbString;
    if (mode == IDCOMMCLASSTYPE) {
        AppendCommPortName(line);
    }
    PrintLine(line);
    return IsProbeError(szUsbString) ? kExitNoPrinter : kExitOk;
}
