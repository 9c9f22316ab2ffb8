// The steps of a mode change that the console and the dialog share: sending the command on
// the printer's command pipe, and waiting for the printer to restart in the new mode.
#pragma once

#include "device/UsbDevice.h"

// How long the restart wait tries before it gives up, and how often it tries.
constexpr DWORD kRestartWaitLimitMs = 120000;
constexpr DWORD kRestartPollMs = 1000;
// The printer needs this pause between the mode command and the restart command.
constexpr DWORD kCommandPauseMs = 1000;

struct ModeChangeStyle {
    const char* label;          // the label of the trace lines
    bool pauseAfterModeCommand; // the console pauses after the first write, the dialog after
                                // the second
};

constexpr ModeChangeStyle kConsoleChange{"SetUsbType", true};
constexpr ModeChangeStyle kDialogChange{"OnChange", false};

// Opens "PIPE01" in `currentMode`, writes the mode command for `target` and the restart
// command, and closes the pipe. Failures are traced only: the restart wait follows anyway.
void SendModeCommand(CUsbDevice& device, UsbType currentMode, UsbType target,
                     const ModeChangeStyle& style);

// Opens "PIPE00" in `target` once per poll period until it opens; true when it did within
// `limitMs`. Every failed attempt is traced "Not yet rebooted" one period later.
bool WaitForRestart(CUsbDevice& device, UsbType target, const ModeChangeStyle& style,
                    DWORD limitMs = kRestartWaitLimitMs);
