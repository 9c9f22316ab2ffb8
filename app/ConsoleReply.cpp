#include "app/ConsoleReply.h"

#include "app/ExitCodes.h"
#include "common/ConsoleOutput.h"
#include "common/DebugTrace.h"
#include "common/JsonWriter.h"
#include "common/ShownText.h"
#include "modechange/ModeChange.h"
#include "text/DriverText.h"
#include "text/ModeText.h"

#include <algorithm>

namespace {
// The document's shape; a change that removes or renames a member, or changes what one means,
// raises it (orvane.schema.json).
constexpr int kSchemaVersion = 1;

struct ResultFacts {
    const char* word;
    int exitCode;
};

ResultFacts FactsOf(RunResult result) {
    switch (result) {
    case RunResult::Ok:
        return {"ok", kExitOk};
    case RunResult::Changed:
        return {"changed", kExitOk};
    case RunResult::AlreadySet:
        return {"already-set", kExitOk};
    case RunResult::Conflict:
        return {"conflict", kExitOk};
    case RunResult::NoPrinter:
        return {"no-printer", kExitNoPrinter};
    case RunResult::Timeout:
        return {"timeout", kExitRestartTimeout};
    case RunResult::OtherMode:
        return {"other-mode", kExitRestartTimeout};
    case RunResult::WhichPrinter:
        return {"which-printer", kExitWhichPrinter};
    case RunResult::NoAccess:
        return {"no-access", kExitNoAccess};
    case RunResult::InUse:
        return {"in-use", kExitInUse};
    case RunResult::NoDriver:
        return {"no-driver", kExitNoDriver};
    }
    return {"no-printer", kExitNoPrinter};
}

std::optional<std::string> ModeWord(std::optional<UsbType> mode) {
    constexpr const char* kWords[] = {"native", "printer-class", "comm-class"};
    if (!mode) {
        return std::nullopt;
    }
    return kWords[IsUsbMode(*mode) ? *mode : IDNATIVETYPE];
}

// Every string from the device or the registry goes in as LIST shows it, escaped.
std::optional<std::string> Shown(const std::optional<std::string>& raw) {
    return raw ? std::optional<std::string>(ShowDeviceText(*raw)) : std::nullopt;
}

void WritePrinter(JsonWriter& json, const PrinterReport& printer) {
    const AttachedPrinter& listed = printer.listed;
    const bool comm = printer.mode == IDCOMMCLASSTYPE;
    json.BeginObject();
    json.Key("number").Number(printer.number);
    json.Key("id").String(ShownId(listed));
    json.Key("mode").StringOrNull(ModeWord(printer.mode));
    json.Key("modeText")
        .StringOrNull(printer.mode ? std::optional<std::string>(ModeName(*printer.mode))
                                   : std::nullopt);
    json.Key("port").StringOrNull(Shown(comm ? printer.port.port : std::nullopt));
    if (comm && !printer.port.stableName.empty()) {
        json.Key("stablePort").String(ShowDeviceText(printer.port.stableName));
    }
    json.Key("inUse").BoolOrNull(printer.inUse);
    json.Key("sharedSerial")
        .StringOrNull(listed.sharedSerial.empty() ? std::nullopt : Shown(listed.sharedSerial));
    if (!listed.place.empty()) {
        json.Key("place").String(ShowDeviceText(listed.place));
        json.Key("access").String(listed.deniedNode.empty() ? "granted" : listed.deniedNode);
    }
    const std::string problem = !printer.refusal.empty() || !comm || printer.port.port
                                    ? printer.refusal
                                    : EscapeUnprintable(printer.port.problem);
    if (!problem.empty()) {
        json.Key("problem").String(problem);
    }
    json.EndObject();
}

void WriteChange(JsonWriter& json, const ChangeReport& change) {
    json.BeginObject();
    json.Key("target").StringOrNull(ModeWord(change.target));
    json.Key("before").StringOrNull(ModeWord(change.before));
    json.Key("after").StringOrNull(ModeWord(change.after));
    json.Key("port").StringOrNull(
        Shown(change.after == IDCOMMCLASSTYPE ? change.port.port : std::nullopt));
    json.Key("seconds").Thousandths(change.tookMs);
    if (change.printer) {
        // The printer as it is at the end.
        PrinterReport now = *change.printer;
        now.mode = change.after;
        now.inUse = change.result == RunResult::InUse;
        now.port = change.port;
        WritePrinter(json.Key("printer"), now);
    } else {
        json.Key("printer").Null();
    }
    json.EndObject();
}

// The mode of a printer that answered, with the port in comm class mode.
ModeText Shown(const PrinterReport& printer) {
    return ShowMode(*printer.mode, printer.port);
}

// What the text form says of a change.
std::vector<std::string> ChangeLines(const ChangeReport& change) {
    const UsbType after = change.after.value_or(IDNATIVETYPE);
    switch (change.result) {
    case RunResult::Changed: {
        std::vector<std::string> lines{std::string("Now set to ") + ModeName(after)};
        if (after == IDCOMMCLASSTYPE && change.port.port) {
            lines.push_back("Comm Class USB virtual port = " + ShowDeviceText(*change.port.port));
        } else if (after == IDCOMMCLASSTYPE && !change.port.problem.empty()) {
            lines.push_back(EscapeUnprintable(change.port.problem));
        }
        return lines;
    }
    case RunResult::AlreadySet:
        return {std::string("Already set to ") + ModeName(change.target)};
    case RunResult::Timeout:
        return {FormatText("Printer did not come back in %s mode within %d seconds",
                           ModeName(change.target), static_cast<int>(kRestartWaitLimitMs / 1000))};
    case RunResult::OtherMode:
        return {FormatText("Printer came back in %s mode, not in %s mode", ModeName(after),
                           ModeName(change.target))};
    case RunResult::InUse:
        return {InUseLine(after)};
    case RunResult::NoDriver:
        return {NoDriverLine(change.missingDriver, change.target)};
    case RunResult::NoPrinter:
    case RunResult::Ok:
    case RunResult::Conflict:
    case RunResult::WhichPrinter:
    case RunResult::NoAccess:
        break;
    }
    return {kErrorOpeningUsb};
}
} // namespace

int ExitCodeOf(RunResult result) {
    return FactsOf(result).exitCode;
}

void ConsoleReply::Print(const std::string& line) {
    if (!m_json) {
        PrintLine(line);
    }
}

void ConsoleReply::Version(const std::string& programName, const std::string& version) {
    m_programName = programName;
    m_version = version;
    Print(programName + " " + (version.empty() ? "(version not recorded)" : version));
}

void ConsoleReply::List(const std::vector<PrinterReport>& printers) {
    m_printers = printers;
    if (printers.empty()) {
        Refuse(RunResult::NoPrinter, kErrorOpeningUsb);
        return;
    }
    m_result = RunResult::Ok;
    for (const PrinterReport& printer : printers) {
        const bool comm = printer.mode == IDCOMMCLASSTYPE;
        std::string line =
            FormatText("%d\t%s\t%s\t%s", printer.number, ShownId(printer.listed).c_str(),
                       ModeName(printer.mode.value_or(IDNATIVETYPE)),
                       comm ? ShowDeviceText(printer.port.port.value_or("")).c_str() : "");
        if (!printer.listed.sharedSerial.empty()) {
            line += "\tserial " + ShowDeviceText(printer.listed.sharedSerial) +
                    " is shared with another printer";
        }
        Print(line);
    }
}

void ConsoleReply::Mode(const std::vector<PrinterReport>& printers, bool several,
                        RunResult result) {
    m_result = result;
    if (!m_printers) {
        m_printers.emplace();
    }
    // With LIST, what MODE read of a printer replaces what the list said.
    for (const PrinterReport& printer : printers) {
        const auto same =
            std::find_if(m_printers->begin(), m_printers->end(),
                         [&](const PrinterReport& p) { return p.number == printer.number; });
        if (same != m_printers->end()) {
            *same = printer;
        } else {
            m_printers->push_back(printer);
        }
    }
    for (const PrinterReport& printer : printers) {
        if (several) {
            // Each line names its printer; a port lookup's complaint would only break the list
            // apart.
            Print(FormatText("Printer %d (%s): %s", printer.number, ShownId(printer.listed).c_str(),
                             printer.refusal.empty() ? Shown(printer).text.c_str()
                                                     : printer.refusal.c_str()));
        } else if (!printer.refusal.empty()) {
            Print(printer.refusal);
        } else {
            const ModeText shown = Shown(printer);
            if (!shown.problem.empty()) {
                Print(shown.problem);
            }
            Print(shown.text);
        }
    }
}

void ConsoleReply::Change(const ChangeReport& change) {
    m_result = change.result;
    m_change = change;
    const std::vector<std::string> lines = ChangeLines(change);
    if (change.result != RunResult::Changed && change.result != RunResult::AlreadySet) {
        m_message = lines.front();
    }
    for (const std::string& line : lines) {
        Print(line);
    }
}

void ConsoleReply::Refuse(RunResult result, const std::string& line) {
    m_result = result;
    m_message = line;
    Print(line);
}

int ConsoleReply::Finish() {
    if (m_json) {
        JsonWriter json;
        json.BeginObject();
        json.Key("schema").Number(kSchemaVersion);
        json.Key("result").String(FactsOf(m_result).word);
        if (!m_message.empty()) {
            json.Key("message").String(m_message);
        }
        if (m_version) {
            json.Key("program").BeginObject();
            json.Key("name").String(m_programName);
            json.Key("version").StringOrNull(m_version->empty() ? std::nullopt : Shown(m_version));
            json.EndObject();
        }
        if (m_printers) {
            json.Key("printers").BeginArray();
            for (const PrinterReport& printer : *m_printers) {
                WritePrinter(json, printer);
            }
            json.EndArray();
        }
        if (m_change) {
            WriteChange(json.Key("change"), *m_change);
        }
        json.EndObject();
        PrintLine(json.text());
    }
    return ExitCodeOf(m_result);
}
