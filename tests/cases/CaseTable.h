// The table of end-to-end cases (orvane.cases) as each level's runner reads it: a row's
// printers, command line, expected lines or JSON members and exit code, and what each printer
// received.
#pragma once

#include "printer_description.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

enum class CaseSystem { Windows, Linux };

struct CaseLine {
    std::optional<CaseSystem> only; // set: this system's line alone
    std::string text;               // escapes decoded; {portN} still in it
};

// Where a row's Orvane writes its standard output: a pipe the level reads, or a place that
// takes nothing.
enum class CaseStdout { Read, Full, Closed };

struct CaseGap {
    std::size_t printer = 1; // from 1
    std::uint32_t minMs = 0;
    std::uint32_t maxMs = 0;
};

struct CaseRow {
    std::string name;
    std::vector<std::string> levels;
    bool slow = false;
    std::vector<PrinterDescription> printers;
    std::vector<std::string> printerTexts; // as written, for rigs that take the text form
    std::vector<std::string> run;
    std::vector<CaseLine> out;
    std::vector<CaseLine> err;
    // "PATH VALUE" each: standard output is one JSON document, and these members hold these
    // values (CheckJsonDocument).
    std::vector<CaseLine> json;
    CaseStdout stdoutTo = CaseStdout::Read;
    int exit = 0;
    // Printer N's writes (index N-1); nullopt: not checked.
    std::vector<std::optional<std::vector<std::vector<std::uint8_t>>>> sent;
    std::vector<CaseGap> gaps;
    std::optional<std::pair<std::uint32_t, std::uint32_t>> tookS;
    std::vector<std::string> emulatorOptions;
    std::vector<std::string> logSaw;
    std::vector<std::string> logNever;
    // The records left in the system's log, each "<info|warning|error> <text>"; checked only by
    // rows with a `logged` line (`logged none`: no record at all).
    std::vector<CaseLine> logged;
    bool checksLog = false;

    bool RunsOn(const std::string& level) const;
    // The systems its levels stand for: wine and wine32 Windows, umockdev and vm Linux.
    bool RunsOnSystem(CaseSystem system) const;
};

// A row as test names show it: its name.
void PrintTo(const CaseRow& row, std::ostream* out);

// Reads the whole table; throws std::runtime_error naming the line of anything malformed.
std::vector<CaseRow> ReadCaseTable(const std::string& path);
// The rows for one level.
std::vector<CaseRow> RowsFor(const std::vector<CaseRow>& rows, const std::string& level);
// The table beside these tests (ORVANE_CASE_TABLE, set by the build).
const std::vector<CaseRow>& TheCaseTable();

// Where printer N of a row is plugged in on the rigs that choose it: port N of bus 1, "1-N".
std::string RowPlace(std::size_t index);
// The lines expected on `system`, with {portN} replaced by ports[N-1] and {placeN}, where the
// printer is plugged in (its port path on Linux), by places[N-1].
std::vector<std::string> ExpectedLines(const std::vector<CaseLine>& lines, CaseSystem system,
                                       const std::vector<std::string>& ports,
                                       const std::vector<std::string>& places = {});
// The row's command line, with {placeN} replaced by places[N-1].
std::vector<std::string> RunWords(const CaseRow& row, const std::vector<std::string>& places);
// What is wrong with `document`, a row's standard output, by the JSON checker
// (check_json.py: a real parser, the schema, the row's json lines for `system` with {portN} and
// {placeN} filled in); empty when nothing is.
std::string CheckJsonDocument(const CaseRow& row, CaseSystem system, const std::string& document,
                              const std::vector<std::string>& ports,
                              const std::vector<std::string>& places = {});
// Lines joined, each ending in a newline: what a program prints.
std::string JoinedLines(const std::vector<std::string>& lines);
