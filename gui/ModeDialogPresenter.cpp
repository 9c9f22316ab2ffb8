#include "gui/ModeDialogPresenter.h"

#include "app/ModeText.h"
#include "common/ConsoleOutput.h"

ModeDialogPresenter::ModeDialogPresenter(PrinterBackend& backend, PrinterTarget printer,
                                         ModeDialogView& view)
    : m_backend(backend), m_printer(std::move(printer)), m_view(view) {}

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
    return m_selectedMode;
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
        m_view.ChangeEnded();
    }
}
