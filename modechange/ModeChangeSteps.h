// The steps of a mode change that the console and the dialog share: sending the command on
// the printer's command pipe, and waiting for the printer to restart in the new mode.
#pragma once

#include "common/Clock.h"
#include "device/PrinterBackend.h"

#include <cstdint>
#include <functional>

// How long the restart wait tries before it gives up, and how often it tries.
constexpr std::uint32_t kRestartWaitLimitMs = 120000;
constexpr std::uint32_t kRestartPollMs = 1000;
// The printer needs this pause between the mode command and the restart command.
constexpr std::uint32_t kCommandPauseMs = 1000;
// How long one write to the command pipe may take before it counts as failed: a printer that
// takes no bytes must not hold Orvane.
constexpr std::uint32_t kCommandWriteTimeoutMs = 5000;

struct ModeChangeStyle {
    const char* label;          // the label of the trace lines
    bool pauseAfterModeCommand; // the console pauses after the first write, the dialog after
                                // the second
};

constexpr ModeChangeStyle kConsoleChange{"SetUsbType", true};
constexpr ModeChangeStyle kDialogChange{"OnChange", false};

// Opens the command pipe of the channel's printer in `currentMode`, writes the mode command for
// `target` and the restart command, and closes the pipe. Failures are traced only: the restart
// wait follows anyway.
void SendModeCommand(PrinterChannel& channel, Clock& clock, UsbType currentMode, UsbType target,
                     const ModeChangeStyle& style);

// Called after each attempt that found the printer not yet back, with the time waited so far.
using RestartProgress = std::function<void(std::uint64_t waitedMs)>;

// Asks once per poll period whether the channel's printer answers in `target`; true when it did
// within `limitMs`. Every failed attempt is traced "Not yet rebooted" one period later.
bool WaitForRestart(PrinterChannel& channel, Clock& clock, UsbType target,
                    const ModeChangeStyle& style, std::uint32_t limitMs = kRestartWaitLimitMs,
                    const RestartProgress& progress = nullptr);
