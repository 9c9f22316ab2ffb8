#include "app/SwitchRecord.h"

#include "app/ExitCodes.h"

namespace {
void Write(ConsoleContext& context, const LogRecord& record) {
    if (context.log != nullptr) {
        context.log->Write(record);
    }
}
} // namespace

UsbType SwitchTarget(const SwitchFlags& flags) {
    if (flags.printerClass) {
        return IDPRINTERCLASSTYPE;
    }
    return flags.commClass ? IDCOMMCLASSTYPE : IDNATIVETYPE;
}

ChangeOutcome OutcomeBeforeCommand(ChangeOutcome::Kind kind, UsbType mode) {
    ChangeOutcome outcome;
    outcome.kind = kind;
    outcome.before = outcome.after = mode;
    return outcome;
}

void RecordSwitch(ConsoleContext& context, SwitchFacts facts, const ChangeOutcome& outcome,
                  int exitCode) {
    facts.exitCode = exitCode;
    Write(context, RecordOfChange(facts, outcome));
}

void RecordSwitch(ConsoleContext& context, SwitchFacts facts, SwitchEnd end, int exitCode) {
    facts.exitCode = exitCode;
    Write(context, RecordOfEnd(facts, end));
}

void RecordRefusedChoice(ConsoleContext& context, const SwitchFlags& flags,
                         const PrinterSelection& selection, int exitCode) {
    SwitchFacts facts;
    facts.target = SwitchTarget(flags);
    facts.printer = LoggedPrinterId(selection.printers, selection.printer);
    if (exitCode == kExitNoPrinter) {
        RecordSwitch(context, facts, OutcomeBeforeCommand(ChangeOutcome::Kind::NoPrinter),
                     exitCode);
        return;
    }
    RecordSwitch(context, facts,
                 exitCode == kExitNoAccess ? SwitchEnd::NoAccess : SwitchEnd::WhichPrinter,
                 exitCode);
}
