#include "app/ModeQuery.h"

#include "device/ProbeUsb.h"
#include "text/ModeText.h"

namespace {
// Probes the printer meant and completes its report; the result that goes with it.
RunResult ReadMode(PrinterBackend& backend, const PrinterTarget& printer, PrinterReport* pReport) {
    const std::optional<ProbeResult> found = ProbeMode(backend, printer);
    pReport->inUse = found && found->inUse;
    if (!found) {
        pReport->refusal = kErrorOpeningUsb;
        return RunResult::NoPrinter;
    }
    AttachedPrinter& listed = pReport->listed;
    if (listed.identity.empty() && listed.shownId.empty()) {
        // Not listed: the first printer found names itself.
        listed.identity = listed.shownId = found->identity;
    }
    pReport->mode = found->mode;
    if (found->inUse) {
        pReport->refusal = InUseLine(found->mode);
        return RunResult::InUse;
    }
    if (found->mode == IDCOMMCLASSTYPE) {
        pReport->port = backend.LookUpPort(PrinterTarget::Listed(found->identity));
    }
    return RunResult::Ok;
}
} // namespace

void ReportMode(ConsoleContext& context, const PrinterSelection& selection, ConsoleReply& reply) {
    if (!selection.several) {
        PrinterReport report;
        if (const AttachedPrinter* pListed = selection.Chosen()) {
            report.number = static_cast<int>(selection.chosen + 1);
            report.listed = *pListed;
        }
        const RunResult result = ReadMode(context.backend, selection.printer, &report);
        if (selection.Chosen() == nullptr && !report.mode) {
            reply.Refuse(result, report.refusal); // none listed, and none found
            return;
        }
        reply.Mode({report}, false, result);
        return;
    }

    RunResult result = RunResult::NoPrinter;
    std::vector<PrinterReport> printers;
    for (std::size_t i = 0; i < selection.printers.size(); ++i) {
        PrinterReport& report = printers.emplace_back();
        report.number = static_cast<int>(i + 1);
        report.listed = selection.printers[i];
        if (!report.listed.deniedNode.empty()) {
            report.refusal = NoAccessLine(report.listed.deniedNode);
            continue;
        }
        const RunResult read =
            ReadMode(context.backend, PrinterTarget::Listed(report.listed.identity), &report);
        if (read == RunResult::Ok || result == RunResult::NoPrinter) {
            result = read;
        }
    }
    reply.Mode(printers, true, result);
}
