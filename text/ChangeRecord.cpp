#include "text/ChangeRecord.h"

#include "common/DebugTrace.h"
#include "common/ShownText.h"
#include "text/ModeText.h"

namespace {
struct Result {
    LogLevel level;
    const char* words;
    bool afterKnown; // the mode the printer is in afterwards is known
};

// How each outcome of a change is recorded: a new outcome is one more entry.
struct OutcomeResult {
    ChangeOutcome::Kind kind;
    Result result;
};
constexpr OutcomeResult kOutcomeResults[] = {
    {ChangeOutcome::Kind::Changed, {LogLevel::Information, "done", true}},
    {ChangeOutcome::Kind::NoPrinter, {LogLevel::Error, "failed, no printer answered", false}},
    {ChangeOutcome::Kind::Timeout,
     {LogLevel::Error, "failed, the printer did not come back in that mode in time", false}},
    {ChangeOutcome::Kind::OtherMode,
     {LogLevel::Error, "failed, the printer came back in another mode", true}},
    {ChangeOutcome::Kind::InUse,
     {LogLevel::Warning, "refused, the printer is in use by another program", true}},
    {ChangeOutcome::Kind::NoDriver,
     {LogLevel::Error, "failed, the printer is back but no driver serves it in that mode", false}},
};

// The same for the ends before any change, in the order of SwitchEnd.
constexpr Result kEndResults[] = {
    {LogLevel::Information, "already set, nothing sent", true},
    {LogLevel::Warning, "refused, the command line does not say which printer", false},
    {LogLevel::Warning, "refused, no permission to open the printer", false},
};

LogRecord Record(const SwitchFacts& facts, const Result& result, UsbType after,
                 const std::string& port) {
    std::string text = FormatText(
        "Mode change to %s: %s. Printer %s, before %s, after %s, port %s", ModeName(facts.target),
        result.words, facts.printer.empty() ? "none" : facts.printer.c_str(),
        facts.before ? ModeName(*facts.before) : "unknown",
        result.afterKnown ? ModeName(after) : "unknown", port.empty() ? "none" : port.c_str());
    text += facts.exitCode ? FormatText(", exit code %d", *facts.exitCode) : ", in the dialog";
    return {result.level, text};
}
} // namespace

LogRecord RecordOfChange(const SwitchFacts& facts, const ChangeOutcome& outcome) {
    Result result{LogLevel::Error, "failed", false};
    for (const OutcomeResult& entry : kOutcomeResults) {
        if (entry.kind == outcome.kind) {
            result = entry.result;
        }
    }
    const bool withPort = outcome.kind == ChangeOutcome::Kind::Changed && outcome.port.port;
    return Record(facts, result, outcome.after, withPort ? ShowDeviceText(*outcome.port.port) : "");
}

LogRecord RecordOfEnd(const SwitchFacts& facts, SwitchEnd end) {
    return Record(facts, kEndResults[static_cast<int>(end)], facts.target, "");
}

std::string LoggedPrinterId(const std::vector<AttachedPrinter>& listed,
                            const PrinterTarget& printer) {
    if (!printer.IsListed()) {
        return {};
    }
    for (const AttachedPrinter& attached : listed) {
        if (printer.Matches(attached.identity)) {
            return ShownId(attached);
        }
    }
    return ShowDeviceText(printer.identity());
}
