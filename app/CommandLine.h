// The console switches: parsing, the help text and the conflict rule.
#pragma once

struct SwitchFlags {
    bool native = false;
    bool commClass = false;
    bool printerClass = false;
    bool modeQuery = false;

    int ModeSwitchCount() const { return int{native} + int{commClass} + int{printerClass}; }
};

// Visits every argument after the program name and matches it, case-insensitively and as a
// whole word, against HELP, NATIVE, COMMCLASS, PRINTERCLASS and MODE. HELP prints the help
// text each time it occurs; the others set their flags. Unknown words are passed over.
SwitchFlags ParseSwitches(int argc, char* argv[]);

void PrintHelp();
