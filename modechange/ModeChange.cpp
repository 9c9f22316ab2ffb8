#include "modechange/ModeChange.h"

#include "common/DebugTrace.h"
#include "device/ProbeUsb.h"
#include "modechange/ModeCommand.h"

namespace {
template <std::size_t N>
bool WriteCommand(CommandPipe* pPipe, const std::array<std::uint8_t, N>& bytes) {
    return pPipe != nullptr && pPipe->Write(bytes.data(), bytes.size(), kCommandWriteTimeoutMs);
}

// Opens the command pipe in `current`, writes the mode command for `target` and the restart
// command, and closes the pipe. Failures are traced only: the restart wait follows anyway,
// unless another program holds the printer: then nothing is sent, and false returned.
bool SendModeCommand(PrinterChannel& channel, Clock& clock, UsbType current, UsbType target,
                     const ChangePolicy& policy) {
    const ModeCommands commands = BuildModeCommands(target);

    const PipeOpening opening = channel.OpenCommandPipe(current);
    CommandPipe* pipe = opening.pipe.get();
    DebugTrace(policy.label, pipe != nullptr ? "USB write opened ok" : kErrorOpeningUsb);
    if (opening.inUse) {
        DebugTrace(policy.label, "In use by another program: nothing sent");
        return false;
    }
    if (const char* name = ModeTraceName(target)) {
        DebugTrace(policy.label, name);
    }

    if (!WriteCommand(pipe, commands.modeCommand)) {
        DebugTrace(policy.label, "Error on write");
    } else if (policy.pauseAfterModeCommand) {
        clock.SleepMs(kCommandPauseMs);
    }
    if (!WriteCommand(pipe, commands.secondCommand)) {
        DebugTrace(policy.label, "Error on write");
    } else if (!policy.pauseAfterModeCommand) {
        clock.SleepMs(kCommandPauseMs);
    }
    return true;
}

// The trace of what the system shows of a printer that is not back in the target mode.
void TraceDriverless(const MissingDriver& missing, const ChangePolicy& policy) {
    if (missing.kind == MissingDriver::Kind::Installing) {
        DebugTrace(policy.label, "Back without a driver, none installed yet");
    } else if (missing.kind == MissingDriver::Kind::Problem) {
        DebugTrace(policy.label, FormatText("Back without a driver: problem code %u",
                                            static_cast<unsigned>(missing.problemCode)));
    }
}

// Asks once per poll period whether the printer is back in `target` (answering, or held by
// another program that took it at once); true when it was within the bound. Every failed
// attempt is traced "Not yet rebooted" one period later. Meanwhile the system may show the
// printer back without a driver (`*pMissing`, as last seen): a problem code ends the wait at
// once, since the system has given up on a driver.
bool WaitForRestart(PrinterChannel& channel, Clock& clock, UsbType target,
                    const ChangePolicy& policy, ChangeObserver& observer, MissingDriver* pMissing) {
    const std::uint64_t start = clock.NowMs();
    for (;;) {
        if (channel.Answers(target).Found()) {
            return true;
        }
        MissingDriver seen = channel.DriverlessNode();
        if (seen.kind != pMissing->kind) {
            TraceDriverless(seen, policy);
        }
        *pMissing = std::move(seen);
        if (pMissing->kind == MissingDriver::Kind::Problem ||
            clock.NowMs() - start >= kRestartWaitLimitMs) {
            return false;
        }
        clock.SleepMs(kRestartPollMs);
        DebugTrace(policy.label, "Not yet rebooted");
        observer.StillWaiting(clock.NowMs() - start,
                              pMissing->kind == MissingDriver::Kind::Installing);
    }
}
} // namespace

ChangeOutcome ChangeMode(PrinterBackend& backend, const ChangeRequest& request,
                         const ChangePolicy& policy, ChangeObserver* pObserver) {
    ChangeObserver quiet;
    ChangeObserver& observer = pObserver != nullptr ? *pObserver : quiet;
    ChangeOutcome outcome;
    outcome.before = request.current;
    outcome.printer = request.printer;
    if (policy.probeFirst) {
        const std::optional<ProbeResult> found = ProbeMode(backend, request.printer);
        if (!found) {
            return outcome;
        }
        outcome.before = found->mode;
        outcome.printer = PrinterTarget::Listed(found->identity);
        if (found->inUse) {
            outcome.kind = ChangeOutcome::Kind::InUse;
            outcome.after = found->mode;
            return outcome;
        }
    }

    // From here on only that printer counts: another printer already in the target mode must
    // not end the wait.
    const PrinterTarget printer = outcome.printer;
    const std::unique_ptr<PrinterChannel> channel = backend.OpenChannel(printer);
    Clock& clock = backend.clock();
    if (!SendModeCommand(*channel, clock, outcome.before, request.target, policy)) {
        outcome.kind = ChangeOutcome::Kind::InUse;
        outcome.after = outcome.before;
        return outcome;
    }
    observer.CommandSent();
    MissingDriver missing;
    const bool back = WaitForRestart(*channel, clock, request.target, policy, observer, &missing);
    observer.WaitOver();
    if (!back) {
        outcome.kind = missing.kind == MissingDriver::Kind::None ? ChangeOutcome::Kind::Timeout
                                                                 : ChangeOutcome::Kind::NoDriver;
        outcome.missingDriver = std::move(missing);
        return outcome;
    }
    if (policy.backTrace != nullptr) {
        DebugTrace(policy.label, policy.backTrace);
    }

    const std::optional<ProbeResult> now = ProbeMode(backend, printer);
    if (!now) {
        // It answered in the new mode and was gone again at once: no success to report.
        return outcome;
    }
    outcome.printer = PrinterTarget::Listed(now->identity);
    outcome.after = now->mode;
    if (now->inUse) {
        outcome.kind = ChangeOutcome::Kind::InUse;
        return outcome;
    }
    if (now->mode != request.target) {
        outcome.kind = ChangeOutcome::Kind::OtherMode;
        return outcome;
    }
    outcome.kind = ChangeOutcome::Kind::Changed;
    if (now->mode == IDCOMMCLASSTYPE) {
        outcome.port = backend.LookUpPort(outcome.printer);
        // Back, but without the driver that would make its port.
        if (outcome.port.driver.kind != MissingDriver::Kind::None) {
            outcome.kind = ChangeOutcome::Kind::NoDriver;
            outcome.missingDriver = outcome.port.driver;
        }
    }
    return outcome;
}
