// The console switches: parsing, the help text and the conflict rule.
#pragma once

#include <string>
#include <vector>

struct SwitchFlags {
    bool native = false;
    bool commClass = false;
    bool printerClass = false;
    bool modeQuery = false;
    bool list = false;
    bool version = false;
    bool trace = false;
    // Every PRINTER=<choice> given, in order.
    std::vector<std::string> printerChoices;
    // Arguments other than PRINTER= and TRACE: with none, the program has nothing to do on
    // the console.
    int actionWords = 0;

    int ModeSwitchCount() const { return int{native} + int{commClass} + int{printerClass}; }
};

// Visits every argument after the program name and matches it, case-insensitively and as a
// whole word, against HELP, NATIVE, COMMCLASS, PRINTERCLASS, MODE, LIST, VERSION, TRACE and
// PRINTER=<choice>. HELP prints the help text each time it occurs; the others set their flags.
// Unknown words are passed over. `withDialog` says whether the program has a dialog face (the
// help then says how to start it).
SwitchFlags ParseSwitches(int argc, char* argv[], bool withDialog);

// True when TRACE is among the arguments: the trace is then echoed from the first line on.
bool WantsTrace(int argc, char* argv[]);

void PrintHelp(bool withDialog);
