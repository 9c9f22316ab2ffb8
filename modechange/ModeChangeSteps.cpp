#include "modechange/ModeChangeSteps.h"

#include "common/DebugTrace.h"
#include "modechange/ModeCommand.h"

namespace {
template <std::size_t N>
bool WriteCommand(CommandPipe* pPipe, const std::array<std::uint8_t, N>& bytes) {
    return pPipe != nullptr && pPipe->Write(bytes.data(), bytes.size(), kCommandWriteTimeoutMs);
}
} // namespace

void SendModeCommand(PrinterChannel& channel, Clock& clock, UsbType currentMode, UsbType target,
                     const ModeChangeStyle& style) {
    const ModeCommands commands = BuildModeCommands(target);

    std::unique_ptr<CommandPipe> pipe = channel.OpenCommandPipe(currentMode);
    DebugTrace(style.label, pipe ? "USB write opened ok" : "Error opening USB");
    if (target >= 0 && target < kUsbModeCount) {
        DebugTrace(style.label, kModeTraceNames[target]);
    }

    const bool modeWritten = WriteCommand(pipe.get(), commands.modeCommand);
    if (!modeWritten) {
        DebugTrace(style.label, "Error on write");
    } else if (style.pauseAfterModeCommand) {
        clock.SleepMs(kCommandPauseMs);
    }

    const bool secondWritten = WriteCommand(pipe.get(), commands.secondCommand);
    if (!secondWritten) {
        DebugTrace(style.label, "Error on write");
    } else if (!style.pauseAfterModeCommand) {
        clock.SleepMs(kCommandPauseMs);
    }
}

bool WaitForRestart(PrinterChannel& channel, Clock& clock, UsbType target,
                    const ModeChangeStyle& style, std::uint32_t limitMs,
                    const RestartProgress& progress) {
    const std::uint64_t start = clock.NowMs();
    for (;;) {
        if (channel.Answers(target)) {
            return true;
        }
        if (clock.NowMs() - start >= limitMs) {
            return false;
        }
        clock.SleepMs(kRestartPollMs);
        DebugTrace(style.label, "Not yet rebooted");
        if (progress) {
            progress(clock.NowMs() - start);
        }
    }
}
