#include "modechange/ModeChangeSteps.h"

#include "common/DebugTrace.h"
#include "modechange/ModeCommand.h"

namespace {
bool WriteCommand(HANDLE hPipe, const BYTE* bytes, DWORD count) {
    if (hPipe == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    return WriteFile(hPipe, bytes, count, &written, nullptr) != FALSE;
}
} // namespace

void SendModeCommand(CUsbDevice& device, UsbType currentMode, UsbType target,
                     const ModeChangeStyle& style) {
    const ModeCommands commands = BuildModeCommands(target);

    HANDLE hPipe = device.open_file(currentMode, kCommandPipe);
    DebugTrace(style.label,
               hPipe != INVALID_HANDLE_VALUE ? "USB write opened ok" : "Error opening USB");
    if (target >= 0 && target < kUsbModeCount) {
        DebugTrace(style.label, kModeTraceNames[target]);
    }

    const bool modeWritten =
        WriteCommand(hPipe, commands.modeCommand.data(), commands.modeCommand.size());
    if (!modeWritten) {
        DebugTrace(style.label, "Error on write");
    } else if (style.pauseAfterModeCommand) {
        Sleep(kCommandPauseMs);
    }

    const bool secondWritten =
        WriteCommand(hPipe, commands.secondCommand.data(), commands.secondCommand.size());
    if (!secondWritten) {
        DebugTrace(style.label, "Error on write");
    } else if (!style.pauseAfterModeCommand) {
        Sleep(kCommandPauseMs);
    }

    if (hPipe != INVALID_HANDLE_VALUE) {
        CloseHandle(hPipe);
    }
}

bool WaitForRestart(CUsbDevice& device, UsbType target, const ModeChangeStyle& style,
                    DWORD limitMs) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        HANDLE hPipe = device.open_file(target, kPresencePipe);
        if (hPipe != INVALID_HANDLE_VALUE) {
            CloseHandle(hPipe);
            return true;
        }
        if (GetTickCount64() - start >= limitMs) {
            return false;
        }
        Sleep(kRestartPollMs);
        DebugTrace(style.label, "Not yet rebooted");
    }
}
