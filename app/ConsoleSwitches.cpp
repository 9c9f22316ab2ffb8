#include "app/ConsoleSwitches.h"

#include "app/ExitCodes.h"
#include "app/SwitchRecord.h"
#include "common/ConsoleOutput.h"
#include "common/DebugTrace.h"
#include "common/ShownText.h"
#include "device/ProbeUsb.h"
#include "text/ModeText.h"

#include <cstdio>
#include <string>

namespace {
// Shows the wait on the progress line.
class ConsoleWait : public ChangeObserver {
  public:
    ConsoleWait(ProgressLine* pProgress, UsbType target)
        : m_pProgress(pProgress), m_target(target) {}
    void StillWaiting(std::uint64_t waitedMs) override {
        if (m_pProgress != nullptr) {
            m_pProgress->Show(FormatText("Waiting for the printer to restart in %s mode: %d s",
                                         ModeName(m_target), static_cast<int>(waitedMs / 1000)));
        }
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

void PrintPort(const PortLookup& lookup) {
    if (lookup.port) {
        std::printf("Comm Class USB virtual port = %s\n", ShowDeviceText(*lookup.port).c_str());
        std::fflush(stdout);
    } else if (!lookup.problem.empty()) {
        PrintLine(EscapeUnprintable(lookup.problem));
    }
}

int ExitCodeOf(ChangeOutcome::Kind kind) {
    switch (kind) {
    case ChangeOutcome::Kind::Changed:
        return kExitOk;
    case ChangeOutcome::Kind::NoPrinter:
        return kExitNoPrinter;
    case ChangeOutcome::Kind::Timeout:
    case ChangeOutcome::Kind::OtherMode:
        break;
    case ChangeOutcome::Kind::InUse:
        return kExitInUse;
    }
    return kExitRestartTimeout;
}
} // namespace

ChangeOutcome SetUsbType(PrinterBackend& backend, const PrinterTarget& printer, UsbType target,
                         ProgressLine* pProgress) {
    ConsoleWait wait(pProgress, target);
    const ChangeOutcome outcome =
        ChangeMode(backend, ChangeRequest{printer, target}, kConsoleChange, &wait);
    switch (outcome.kind) {
    case ChangeOutcome::Kind::NoPrinter:
        PrintLine(kErrorOpeningUsb);
        break;
    case ChangeOutcome::Kind::Timeout:
        PrintLine(FormatText("Printer did not come back in %s mode within %d seconds",
                             ModeName(target), static_cast<int>(kRestartWaitLimitMs / 1000)));
        break;
    case ChangeOutcome::Kind::OtherMode:
        PrintLine(FormatText("Printer came back in %s mode, not in %s mode",
                             ModeName(outcome.after), ModeName(target)));
        break;
    case ChangeOutcome::Kind::InUse:
        PrintLine(InUseLine(outcome.after));
        break;
    case ChangeOutcome::Kind::Changed:
        PrintLine(std::string("Now set to ") + ModeName(outcome.after));
        if (outcome.after == IDCOMMCLASSTYPE) {
            PrintPort(outcome.port);
        }
        break;
    }
    return outcome;
}

int RunModeSwitch(ConsoleContext& context, const SwitchFlags& flags,
                  const PrinterSelection& selection) {
    if (flags.ModeSwitchCount() != 1) {
        return kExitOk;
    }
    const UsbType target = SwitchTarget(flags);
    SwitchFacts facts;
    facts.target = target;
    if (selection.several) {
        PrintLine(SeveralPrintersLine(selection.printers.size()));
        return RecordSwitch(context, facts, SwitchEnd::WhichPrinter, kExitWhichPrinter);
    }

    const std::optional<ProbeResult> current = ProbeMode(context.backend, selection.printer);
    if (!current) {
        PrintLine(kErrorOpeningUsb);
        return RecordSwitch(context, facts, OutcomeBeforeCommand(ChangeOutcome::Kind::NoPrinter),
                            kExitNoPrinter);
    }
    const PrinterTarget printer = PrinterTarget::Listed(current->identity);
    facts.printer = LoggedPrinterId(selection.printers, printer);
    facts.before = current->mode;
    if (current->inUse) {
        PrintLine(InUseLine(current->mode));
        return RecordSwitch(context, facts,
                            OutcomeBeforeCommand(ChangeOutcome::Kind::InUse, current->mode),
                            kExitInUse);
    }
    if (current->mode == target) {
        PrintLine(std::string("Already set to ") + ModeName(target));
        return RecordSwitch(context, facts, SwitchEnd::AlreadySet, kExitOk);
    }
    ProgressLine progress(stderr, context.stderrIsConsole);
    const ChangeOutcome outcome = SetUsbType(context.backend, printer, target, &progress);
    return RecordSwitch(context, facts, outcome, ExitCodeOf(outcome.kind));
}
