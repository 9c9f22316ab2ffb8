// Which printer the command line means: the attached printers, PRINTER=, and the rule that
// Orvane never acts on an arbitrary one of several.
#pragma once

#include "app/CommandLine.h"
#include "device/PrinterBackend.h"

#include <optional>
#include <string>
#include <vector>

struct PrinterSelection {
    std::vector<AttachedPrinter> printers; // as the system lists them now
    // The printer to work on: the one chosen or the only one listed; the first found when the
    // list is empty.
    PrinterTarget printer = PrinterTarget::FirstFound();
    // Several printers are attached and the command line chose none of them.
    bool several = false;
};

// Lists the printers and applies PRINTER=. Returns the exit code to end with, after printing
// why, when the command line names no attached printer or the one meant cannot be opened (that
// one is then the selection's printer); otherwise fills *pSelection and returns nothing.
std::optional<int> SelectPrinter(PrinterBackend& backend, const SwitchFlags& flags,
                                 PrinterSelection* pSelection);

// The line that asks for a choice when several printers are attached.
std::string SeveralPrintersLine(std::size_t count);
