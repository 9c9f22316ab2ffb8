// What a console run answers, gathered as facts by each command and shown in one of two forms:
// the lines a person reads, each printed as soon as it is known, or, with JSON, one document
// printed when the run is over, and nothing else on standard output.
#pragma once

#include "device/PrinterBackend.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// How a run ended; each has its exit code, and its word in the document.
enum class RunResult {
    Ok,           // LIST, MODE or VERSION answered
    Changed,      // back in the mode asked for
    AlreadySet,   // the printer was in it already: nothing sent
    Conflict,     // two mode switches: nothing done
    NoPrinter,    // no printer answered
    Timeout,      // not back in the mode asked for within the bound
    OtherMode,    // back, but in another mode
    WhichPrinter, // the command line does not say which printer
    NoAccess,     // this user may not open the printer
    InUse,        // another program holds the printer
    NoDriver,     // back, but no driver serves it in the mode asked for
};

int ExitCodeOf(RunResult result);

// One printer as an answer shows it.
struct PrinterReport {
    int number = 1; // its place in LIST's order, from 1
    AttachedPrinter listed;
    std::optional<UsbType> mode; // nullopt: it could not be read, and `refusal` says why
    std::optional<bool> inUse;   // nullopt: not looked at (LIST opens no printer)
    PortLookup port;             // looked up in comm class mode
    // The line shown instead of its mode: why it could not be read, or that another program
    // holds it.
    std::string refusal;
};

// A mode switch that went to its printer.
struct ChangeReport {
    UsbType target = IDNATIVETYPE;
    std::optional<PrinterReport> printer; // as listed when the switch began, if it was
    std::optional<UsbType> before;
    // The mode it came back in, or in which another program holds it.
    std::optional<UsbType> after;
    PortLookup port;             // after a change to comm class mode
    MissingDriver missingDriver; // NoDriver: what the system showed of the printer
    RunResult result = RunResult::NoPrinter;
    std::uint64_t tookMs = 0;
};

class ConsoleReply {
  public:
    explicit ConsoleReply(bool json) : m_json(json) {}

    // VERSION: "<name> <version>".
    void Version(const std::string& programName, const std::string& version);
    // LIST: "<number>\t<ID>\t<mode>\t<port>[\tserial <serial> is shared with another printer]"
    // for each, or "Error opening USB" without any.
    void List(const std::vector<PrinterReport>& printers);
    // MODE: the one printer meant, or each of several ("Printer <n> (<ID>): <mode>").
    void Mode(const std::vector<PrinterReport>& printers, bool several, RunResult result);
    // A mode switch: "Now set to <mode>" and the port, or why not.
    void Change(const ChangeReport& change);
    // A run that ends without its answer, and the line that says why.
    void Refuse(RunResult result, const std::string& line);

    // Prints the document when there is one; returns the exit code of the run's result.
    int Finish();

  private:
    void Print(const std::string& line);

    bool m_json;
    RunResult m_result = RunResult::Ok;
    std::optional<std::string> m_version; // with VERSION: the program's name and version
    std::string m_programName;
    std::optional<std::vector<PrinterReport>> m_printers;
    std::optional<ChangeReport> m_change;
    std::string m_message; // the line that said why the run ended without its answer
};
