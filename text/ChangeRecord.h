// The record that a mode switch leaves in the system's log: one line that says which mode was
// asked for, what became of it, the printer as LIST shows it, its modes before and after, its
// port and the exit code, at the level that tells a change done from one refused or failed.
// The console and the dialog write the same records.
#pragma once

#include "common/SystemLog.h"
#include "modechange/ModeChange.h"

#include <optional>
#include <string>
#include <vector>

// How a mode switch can end before any change is tried, besides the outcomes of a change.
enum class SwitchEnd {
    AlreadySet,   // the printer is in that mode already: nothing sent
    WhichPrinter, // several printers and none chosen, or the choice names none of them
    NoAccess,     // this user may not open the printer
};

// What a record says of a mode switch besides how it ended.
struct SwitchFacts {
    UsbType target = IDNATIVETYPE;
    std::string printer;           // as LIST shows it (LoggedPrinterId); empty: none found
    std::optional<UsbType> before; // the mode it was in; unset: not known
    std::optional<int> exitCode;   // the console's; unset for the dialog's changes
};

LogRecord RecordOfChange(const SwitchFacts& facts, const ChangeOutcome& outcome);
LogRecord RecordOfEnd(const SwitchFacts& facts, SwitchEnd end);

// The printer as LIST shows it, found in `listed` by its identity; its identity shown escaped
// when the list does not hold it; empty for the first found, which no record can name.
std::string LoggedPrinterId(const std::vector<AttachedPrinter>& listed,
                            const PrinterTarget& printer);
