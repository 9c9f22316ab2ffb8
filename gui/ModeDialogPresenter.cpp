#include "gui/ModeDialogPresenter.h"

#include "common/ConsoleOutput.h"
#include "common/DebugTrace.h"
#include "text/ChangeRecord.h"
#include "text/DriverText.h"
#include "text/ModeText.h"

#include <utility>

ModeDialogPresenter::ModeDialogPresenter(PrinterBackend& backend, PrinterTarget printer,
                                         ModeDialogView& view, SystemLog* pLog)
    : m_backend(backend), m_printer(std::move(printer)), m_view(view), m_pLog(pLog) {}

std::optional<ProbeResult> ModeDialogPresenter::Probe() {
    std::optional<ProbeResult> found = ProbeMode(m_backend, m_printer);
    m_currentMode = found ? found->mode : IDNATIVETYPE;
    if (found && !m_printer.IsListed()) {
        m_printer = PrinterTarget::Listed(found->identity);
    }
    return found;
}

std::string ModeDialogPresenter::StatusWithPort(UsbType mode, const PortLookup& port) {
    const ModeText shown = ShowMode(mode, port);
    // As on the console, where nobody sees it once the console is released.
    if (!shown.problem.empty()) {
        PrintLine(shown.problem);
    }
    return shown.text;
}

UsbType ModeDialogPresenter::Open() {
    // The list first: it is silent, and the probe's trace stays as it is with one printer.
    ReadPrinters(false);
    ShowChosenPrinter();
    return m_selectedMode;
}

void ModeDialogPresenter::ShowChosenPrinter() {
    const std::optional<ProbeResult> found = Probe();
    m_selectedMode = m_currentMode;
    if (!found) {
        m_view.ShowStatus(kErrorOpeningUsb);
    } else if (found->inUse) {
        m_view.ShowStatus(InUseLine(found->mode));
    } else if (found->mode == IDCOMMCLASSTYPE) {
        m_view.ShowStatus(StatusWithPort(found->mode, m_backend.LookUpPort(m_printer)));
    } else {
        m_view.ShowStatus(found->text);
    }
}

void ModeDialogPresenter::Choose(std::size_t index) {
    if (index >= m_printers.size()) {
        return;
    }
    m_printer = PrinterTarget::Listed(m_printers[index].identity);
    m_chosenAttached = true;
    m_shownChoice = index;
    ShowChosenPrinter();
    m_view.ShowSelectedMode(m_selectedMode);
}

std::string ModeDialogPresenter::EntryText(std::size_t index) {
    const AttachedPrinter& printer = m_printers[index];
    const PortLookup port = printer.mode == IDCOMMCLASSTYPE
                                ? m_backend.LookUpPort(PrinterTarget::Listed(printer.identity))
                                : PortLookup{};
    return FormatText("%d  %s - %s", static_cast<int>(index + 1), ShownId(printer).c_str(),
                      ShowMode(printer.mode, port).text.c_str());
}

void ModeDialogPresenter::ReadPrinters(bool showComings) {
    m_printers = m_backend.ListPrinters();
    // A dialog opened without a printer takes the first that comes.
    if (!m_printer.IsListed() && !m_printers.empty()) {
        m_printer = PrinterTarget::Listed(m_printers.front().identity);
    }
    std::size_t chosen = ModeDialogView::kNoEntry;
    for (std::size_t i = 0; i < m_printers.size(); ++i) {
        if (m_printer.Matches(m_printers[i].identity)) {
            chosen = i;
            break;
        }
    }
    const bool attached = chosen != ModeDialogView::kNoEntry;
    const bool wasAttached = std::exchange(m_chosenAttached, attached);

    // With one printer or none the dialog shows nothing of the others. An unchanged list is
    // left alone, so that a list a person holds open stays open.
    std::vector<std::string> entries;
    for (std::size_t i = 0; m_printers.size() > 1 && i < m_printers.size(); ++i) {
        entries.push_back(EntryText(i));
    }
    const std::size_t choice = entries.empty() ? ModeDialogView::kNoEntry : chosen;
    if (entries != m_shownEntries || choice != m_shownChoice) {
        m_view.ShowPrinters(entries, choice);
        m_shownEntries = std::move(entries);
        m_shownChoice = choice;
    }

    if (!showComings) {
        return;
    }
    if (attached && (!wasAttached || m_printers[chosen].mode != m_currentMode)) {
        ShowChosenPrinter();
        m_view.ShowSelectedMode(m_selectedMode);
    } else if (!attached && wasAttached) {
        m_currentMode = IDNATIVETYPE;
        m_view.ShowStatus(kErrorOpeningUsb);
    }
}

void ModeDialogPresenter::CommandSent() {
    m_changeStarted = true;
    DebugTraceRaw("create?\n");
    m_view.ChangeStarted();
}

void ModeDialogPresenter::Change() {
    const UsbType target = m_selectedMode;
    m_changeStarted = false;
    const ChangeOutcome outcome =
        ChangeMode(m_backend, ChangeRequest{m_printer, target, m_currentMode}, kDialogChange, this);
    m_printer = outcome.printer; // the first found, once it answered, is that printer
    std::string status;
    switch (outcome.kind) {
    case ChangeOutcome::Kind::Timeout:
        // Find where the printer is now, so that the next change opens the right command pipe.
        Probe();
        status = std::string("No answer in ") + ModeName(target);
        break;
    case ChangeOutcome::Kind::NoDriver:
        // As after a timeout: the next change opens the command pipe where the printer is.
        Probe();
        status = NoDriverLine(outcome.missingDriver, target);
        break;
    case ChangeOutcome::Kind::NoPrinter:
        m_currentMode = IDNATIVETYPE;
        status = kErrorOpeningUsb;
        break;
    case ChangeOutcome::Kind::OtherMode:
        m_currentMode = outcome.after;
        status = ModeName(outcome.after);
        break;
    case ChangeOutcome::Kind::InUse:
        m_currentMode = outcome.after;
        status = InUseLine(outcome.after);
        break;
    case ChangeOutcome::Kind::Changed:
        m_currentMode = outcome.after;
        status = StatusWithPort(outcome.after, outcome.port);
        break;
    }
    m_view.ShowStatus(status);
    if (m_changeStarted) {
        DebugTraceRaw("delete?\n");
        m_view.ChangeEnded();
    }
    // Its record names the printer as the list showed it before the change.
    if (m_pLog != nullptr) {
        SwitchFacts facts;
        facts.target = target;
        facts.printer = LoggedPrinterId(m_printers, m_printer);
        facts.before = outcome.before;
        m_pLog->Write(RecordOfChange(facts, outcome));
    }
    // Printers that came or went during the wait were not heard of: no message was handled.
    // The change's own result stays on the status line.
    ReadPrinters(false);
}
