// The console's side of the record each mode switch leaves in the system's log (NATIVE,
// PRINTERCLASS, COMMCLASS; MODE, LIST, HELP and VERSION leave none): the record goes to the
// log the context gives, if any, once the switch's end and exit code are known.
#pragma once

#include "app/CommandLine.h"
#include "app/ConsoleContext.h"
#include "app/PrinterSelection.h"
#include "text/ChangeRecord.h"

// The mode the one mode switch in `flags` asks for.
UsbType SwitchTarget(const SwitchFlags& flags);

// How a switch ended before its command when a change would have ended so too: no printer, or
// one that another program holds in `mode`.
ChangeOutcome OutcomeBeforeCommand(ChangeOutcome::Kind kind, UsbType mode = IDNATIVETYPE);

// Each writes the record of a switch that ends with `exitCode`.
void RecordSwitch(ConsoleContext& context, SwitchFacts facts, const ChangeOutcome& outcome,
                  int exitCode);
void RecordSwitch(ConsoleContext& context, SwitchFacts facts, SwitchEnd end, int exitCode);
// The mode switch in `flags` refused by the choice of printer (the refusal's exit code).
void RecordRefusedChoice(ConsoleContext& context, const SwitchFlags& flags,
                         const PrinterSelection& selection, int exitCode);
