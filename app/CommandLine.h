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
    // Answer in one JSON document instead of lines; HELP then prints nothing.
    bool json = false;
    // Every PRINTER=<choice> given, in order.
    std::vector<std::string> printerChoices;
    // The words that name no switch, in order.
    std::vector<std::string> unknownWords;
    // Arguments other than PRINTER= and TRACE: with none, the program has nothing to do on
    // the console.
    int actionWords = 0;

    int ModeSwitchCount() const { return int{native} + int{commClass} + int{printerClass}; }
};

// Whose conventions the command line follows. Windows: the switches alone, and other words are
// passed over, as scripts written for Orvane.exe may pass extra words; the program has a
// dialog, which the help names. Posix: the switches, and --help, -h, --version and -V besides;
// any other word, and an empty PRINTER=, is a usage error (UsageErrors).
enum class SwitchConventions { Windows, Posix };

// Visits every argument after the program name and matches it, case-insensitively and as a
// whole word, against HELP, NATIVE, COMMCLASS, PRINTERCLASS, MODE, LIST, VERSION, JSON, TRACE
// and PRINTER=<choice>. HELP prints the help text each time it occurs (not with JSON); the
// others set their flags.
SwitchFlags ParseSwitches(int argc, char* argv[], SwitchConventions conventions);

// The lines that refuse a Posix command line, one for each unknown word (escaped as device text
// is) and one for an empty PRINTER=; none when it is sound.
std::vector<std::string> UsageErrors(const SwitchFlags& flags, const std::string& programName);

// True when TRACE is among the arguments: the trace is then echoed from the first line on.
bool WantsTrace(int argc, char* argv[]);

void PrintHelp(bool withDialog);
