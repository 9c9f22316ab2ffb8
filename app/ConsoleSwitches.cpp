#include "app/ConsoleSwitches.h"

#include "app/ExitCodes.h"
#include "app/SwitchRecord.h"
#include "common/DebugTrace.h"
#include "device/ProbeUsb.h"
#include "text/DriverText.h"

#include <cstdio>

namespace {
// Shows the wait on the progress line.
class ConsoleWait : public ChangeObserver {
  public:
    ConsoleWait(ProgressLine* pProgress, UsbType target)
        : m_pProgress(pProgress), m_target(target) {}
    void StillWaiting(std::uint64_t waitedMs, bool installing) override {
        if (m_pProgress == nullptr) {
            return;
        }
        m_pProgress->Show(installing
                              ? InstallingDriverProgress(m_target, waitedMs)
                              : FormatText("Waiting for the printer to restart in %s mode: %d s",
                                           ModeName(m_target), static_cast<int>(waitedMs / 1000)));
    }
    void WaitOver() override {
        if (m_pProgress != nullptr) {
            m_pProgress->Clear();
        }
    }

  private:
    ProgressLine* m_pProgress;
    UsbType m_target;
};

RunResult ResultOf(ChangeOutcome::Kind kind) {
    switch (kind) {
    case ChangeOutcome::Kind::Changed:
        return RunResult::Changed;
    case ChangeOutcome::Kind::NoPrinter:
        return RunResult::NoPrinter;
    case ChangeOutcome::Kind::Timeout:
        return RunResult::Timeout;
    case ChangeOutcome::Kind::OtherMode:
        return RunResult::OtherMode;
    case ChangeOutcome::Kind::InUse:
        return RunResult::InUse;
    case ChangeOutcome::Kind::NoDriver:
        return RunResult::NoDriver;
    }
    return RunResult::NoPrinter;
}
} // namespace

ChangeOutcome SetUsbType(PrinterBackend& backend, const PrinterTarget& printer,
                         ChangeReport* pChange, ProgressLine* pProgress) {
    ConsoleWait wait(pProgress, pChange->target);
    ChangeOutcome outcome =
        ChangeMode(backend, ChangeRequest{printer, pChange->target}, kConsoleChange, &wait);
    pChange->result = ResultOf(outcome.kind);
    // Without an answer, or back without a driver on Windows, its mode is not known.
    const bool modeKnown = outcome.kind != ChangeOutcome::Kind::NoPrinter &&
                           outcome.kind != ChangeOutcome::Kind::Timeout &&
                           (outcome.kind != ChangeOutcome::Kind::NoDriver ||
                            outcome.missingDriver.kind == MissingDriver::Kind::Module);
    if (modeKnown) {
        pChange->after = outcome.after;
    }
    pChange->port = outcome.port;
    pChange->missingDriver = outcome.missingDriver;
    return outcome;
}

void RunModeSwitch(ConsoleContext& context, const SwitchFlags& flags,
                   const PrinterSelection& selection, ConsoleReply& reply) {
    if (flags.ModeSwitchCount() != 1) {
        return;
    }
    const UsbType target = SwitchTarget(flags);
    SwitchFacts facts;
    facts.target = target;
    if (selection.several) {
        reply.Refuse(RunResult::WhichPrinter, SeveralPrintersLine(selection.printers.size()));
        RecordSwitch(context, facts, SwitchEnd::WhichPrinter, kExitWhichPrinter);
        return;
    }

    Clock& clock = context.backend.clock();
    const std::uint64_t start = clock.NowMs();
    ChangeReport change;
    change.target = target;
    if (const AttachedPrinter* pListed = selection.Chosen()) {
        change.printer.emplace().listed = *pListed;
        change.printer->number = static_cast<int>(selection.chosen + 1);
    }
    // What the record says of how the switch ended.
    ChangeOutcome outcome;
    std::optional<SwitchEnd> end;
    const std::optional<ProbeResult> current = ProbeMode(context.backend, selection.printer);
    if (!current) {
        change.result = RunResult::NoPrinter;
    } else {
        facts.printer =
            LoggedPrinterId(selection.printers, PrinterTarget::Listed(current->identity));
        facts.before = current->mode;
        if (current->inUse) {
            change.before = change.after = current->mode;
            change.result = RunResult::InUse;
            outcome = OutcomeBeforeCommand(ChangeOutcome::Kind::InUse, current->mode);
        } else if (current->mode == target) {
            change.before = change.after = target;
            change.result = RunResult::AlreadySet;
            end = SwitchEnd::AlreadySet;
        } else {
            change.before = current->mode;
            ProgressLine progress(stderr, context.stderrIsConsole);
            outcome = SetUsbType(context.backend, PrinterTarget::Listed(current->identity), &change,
                                 &progress);
        }
    }
    change.tookMs = clock.NowMs() - start;
    reply.Change(change);
    const int exitCode = ExitCodeOf(change.result);
    if (end) {
        RecordSwitch(context, facts, *end, exitCode);
    } else {
        RecordSwitch(context, facts, outcome, exitCode);
    }
}
