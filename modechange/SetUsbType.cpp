#include "modechange/SetUsbType.h"

#include "common/ConsoleOutput.h"
#include "common/DebugTrace.h"
#include "device/ProbeUsb.h"

ModeChangeResult SetUsbType(PrinterBackend& backend, const std::string& identity, UsbType target,
                            ProgressLine* pProgress) {
    char szUsbString[kUsbStringSize] = {};
    std::string printer;
    const UsbType current = ProbeUsb(backend, identity, szUsbString, kUsbStringSize, &printer);
    if (IsProbeError(szUsbString)) {
        PrintLine(szUsbString);
        return ModeChangeResult::NoPrinter;
    }

    // From here on only the printer that answered counts: another printer already in the
    // target mode must not end the wait.
    const std::unique_ptr<PrinterChannel> channel = backend.OpenChannel(printer);
    Clock& clock = backend.clock();
    SendModeCommand(*channel, clock, current, target, kConsoleChange);

    RestartProgress progress;
    if (pProgress != nullptr) {
        progress = [pProgress, target](std::uint64_t waitedMs) {
            pProgress->Show(FormatText("Waiting for the printer to restart in %s mode: %d s",
                                       ModeName(target), static_cast<int>(waitedMs / 1000)));
        };
    }
    const bool back =
        WaitForRestart(*channel, clock, target, kConsoleChange, kRestartWaitLimitMs, progress);
    if (pProgress != nullptr) {
        pProgress->Clear();
    }
    if (!back) {
        PrintLine(FormatText("Printer did not come back in %s mode within %d seconds",
                             ModeName(target), static_cast<int>(kRestartWaitLimitMs / 1000)));
        return ModeChangeResult::Timeout;
    }

    const UsbType now = ProbeUsb(backend, printer, szUsbString, kUsbStringSize);
    if (IsProbeError(szUsbString)) {
        // It answered in the new mode and was gone again at once: no success to report.
        PrintLine(szUsbString);
        return ModeChangeResult::NoPrinter;
    }
    if (now != target) {
        PrintLine(FormatText("Printer came back in %s mode, not in %s mode", ModeName(now),
                             ModeName(target)));
        return ModeChangeResult::OtherMode;
    }
    PrintLine(std::string("Now set to ") + szUsbString);
    return ModeChangeResult::Changed;
}
