// The console's mode switches, NATIVE, PRINTERCLASS and COMMCLASS.
#pragma once

#include "app/CommandLine.h"
#include "app/ConsoleContext.h"
#include "app/ConsoleReply.h"
#include "app/PrinterSelection.h"
#include "common/ProgressLine.h"
#include "modechange/ModeChange.h"

// Carries out the one mode switch in `flags` on the selected printer: reports a mode that is
// already active, or changes to it. With several printers and none chosen it sends nothing and
// asks for a choice.
void RunModeSwitch(ConsoleContext& context, const SwitchFlags& flags,
                   const PrinterSelection& selection, ConsoleReply& reply);

// The console's change: runs it on `printer` towards pChange->target and completes the report
// with what it found. `pProgress`, when given, shows the wait as it goes on and is cleared
// before the change ends.
ChangeOutcome SetUsbType(PrinterBackend& backend, const PrinterTarget& printer,
                         ChangeReport* pChange, ProgressLine* pProgress = nullptr);
