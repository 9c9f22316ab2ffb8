// Which printer the command line means: the attached printers, PRINTER=, and the rule that
// Orvane never acts on an arbitrary one of several.
#pragma once

#include "app/CommandLine.h"
#include "app/ConsoleReply.h"
#include "device/PrinterBackend.h"

#include <optional>
#include <string>
#include <vector>

struct PrinterSelection {
    std::vector<AttachedPrinter> printers; // as the system lists them now
    // The printer to work on: the one chosen or the only one listed; the first found when the
    // list is empty.
    PrinterTarget printer = PrinterTarget::FirstFound();
    std::size_t chosen = 0; // its index in `printers`, when it was listed
    // Several printers are attached and the command line chose none of them.
    bool several = false;

    // The printer to work on as listed; nullptr when none was.
    const AttachedPrinter* Chosen() const {
        return printer.IsListed() ? &printers.at(chosen) : nullptr;
    }
};

// Why the command line names no printer to work on, or the one meant cannot be opened.
struct Refusal {
    RunResult result;
    std::string line;
};

// Lists the printers and applies PRINTER=. Returns the refusal when the command line names no
// attached printer or the one meant cannot be opened; otherwise fills *pSelection and returns
// nothing.
std::optional<Refusal> SelectPrinter(PrinterBackend& backend, const SwitchFlags& flags,
                                     PrinterSelection* pSelection);

// The line that asks for a choice when several printers are attached.
std::string SeveralPrintersLine(std::size_t count);
