#include "FakePrinterBackend.h"

#include "common/TextCase.h"

#include <algorithm>
#include <stdexcept>

namespace fake {

void VirtualClock::SleepMs(std::uint32_t ms) {
    m_now += ms;
    if (onSleep) {
        onSleep(m_now);
    }
}

namespace {
constexpr std::uint8_t kModeCommand[] = {0x1F, 0x0B, 0x4E, 0x1F, 0x43};

std::size_t Rank(UsbType mode) {
    return static_cast<std::size_t>(std::find(kProbeOrder.begin(), kProbeOrder.end(), mode) -
                                    kProbeOrder.begin());
}

class FakePipe : public CommandPipe {
  public:
    FakePipe(Backend& backend, Printer& printer) : m_backend(backend), m_printer(printer) {
        ++m_backend.livePipes;
    }
    ~FakePipe() override { --m_backend.livePipes; }
    FakePipe(const FakePipe&) = delete;
    FakePipe& operator=(const FakePipe&) = delete;
    bool Write(const std::uint8_t* bytes, std::size_t count, std::uint32_t timeoutMs) override {
        return m_backend.Take(m_printer, bytes, count, timeoutMs);
    }

  private:
    Backend& m_backend;
    Printer& m_printer;
};

class FakeChannel : public PrinterChannel {
  public:
    FakeChannel(Backend& backend, PrinterTarget target)
        : m_backend(backend), m_target(std::move(target)) {
        ++m_backend.liveChannels;
    }
    ~FakeChannel() override { --m_backend.liveChannels; }
    FakeChannel(const FakeChannel&) = delete;
    FakeChannel& operator=(const FakeChannel&) = delete;

    ModeAnswer Answers(UsbType mode) override {
        if (m_backend.answersCalls++ == m_backend.failAnswersCall) {
            return {};
        }
        ModeAnswer held;
        for (Printer* printer : m_backend.Search(mode, m_target)) {
            if (printer->inUse && !held.Found()) {
                held = ModeAnswer::Held(printer->identity);
            } else if (printer->deniedNode.empty() && !printer->inUse) {
                if (printer->restarts > 0 && printer->settlesIn) {
                    printer->mode = *printer->settlesIn;
                    printer->settlesIn.reset();
                }
                if (printer->restarts > 0 && printer->leavesAfterReturn) {
                    printer->restarting = true;
                    printer->neverReturns = true;
                }
                return ModeAnswer::Answering(printer->identity);
            }
        }
        return held;
    }

    MissingDriver DriverlessNode() override {
        for (const UsbType mode : kProbeOrder) {
            for (const Printer* printer : m_backend.Search(mode, m_target, false)) {
                if (printer->noDriverIn == mode) {
                    return {printer->problemCode != 0 ? MissingDriver::Kind::Problem
                                                      : MissingDriver::Kind::Installing,
                            printer->problemCode,
                            {},
                            printer->shownId.empty() ? printer->identity : printer->shownId,
                            printer->shownId.empty() ? '\0' : '\\'};
                }
            }
        }
        return {};
    }

    PipeOpening OpenCommandPipe(UsbType mode) override {
        if (m_backend.commandPipeCalls++ == m_backend.failCommandPipeCall) {
            return {};
        }
        for (Printer* printer : m_backend.Search(mode, m_target)) {
            if (printer->inUse || printer->commandPipeInUse) {
                return {nullptr, true};
            }
            if (printer->deniedNode.empty() && printer->commandPipeOpens) {
                return {std::make_unique<FakePipe>(m_backend, *printer), false};
            }
        }
        return {};
    }

  private:
    Backend& m_backend;
    PrinterTarget m_target;
};
} // namespace

Printer& Backend::Plug(Printer printer) {
    return m_printers.emplace_back(std::move(printer));
}

void Backend::Update(Printer& printer) {
    if (printer.plugAtMs && m_clock.NowMs() >= *printer.plugAtMs) {
        printer.plugAtMs.reset();
    }
    if (!printer.restarting || printer.neverReturns || m_clock.NowMs() < printer.backAtMs) {
        return;
    }
    printer.restarting = false;
    printer.mode = printer.returnMode.value_or(printer.commanded.value_or(printer.mode));
    printer.commanded.reset();
}

std::vector<Printer*> Backend::Search(UsbType mode, const PrinterTarget& target, bool served) {
    std::vector<Printer*> found;
    for (Printer& printer : m_printers) {
        Update(printer);
        if (!printer.restarting && !printer.plugAtMs && printer.mode == mode &&
            (!served || printer.noDriverIn != mode) && target.Matches(printer.identity)) {
            found.push_back(&printer);
        }
    }
    return found;
}

std::vector<AttachedPrinter> Backend::ListPrinters() {
    std::vector<AttachedPrinter> listed;
    for (Printer& printer : m_printers) {
        Update(printer);
        if (!printer.restarting && !printer.plugAtMs && printer.noDriverIn != printer.mode) {
            listed.push_back(
                {printer.identity, printer.shownId.empty() ? printer.identity : printer.shownId,
                 printer.mode, printer.deniedNode, printer.shownId.empty() ? '\0' : '\\',
                 printer.sharedSerial, printer.place});
        }
    }
    std::stable_sort(listed.begin(), listed.end(),
                     [](const AttachedPrinter& a, const AttachedPrinter& b) {
                         return Rank(a.mode) < Rank(b.mode);
                     });
    return listed;
}

std::unique_ptr<PrinterChannel> Backend::OpenChannel(const PrinterTarget& printer) {
    return std::make_unique<FakeChannel>(*this, printer);
}

PortLookup Backend::LookUpPort(const PrinterTarget& target) {
    for (Printer* printer : Search(IDCOMMCLASSTYPE, target)) {
        if (!printer->portModuleMissing.empty()) {
            return {
                std::nullopt,
                "no tty",
                {MissingDriver::Kind::Module, 0, printer->portModuleMissing, printer->identity}};
        }
        return printer->port ? PortLookup{printer->port, {}}
                             : PortLookup{std::nullopt, printer->portProblem};
    }
    return {};
}

bool Backend::Take(Printer& printer, const std::uint8_t* bytes, std::size_t count,
                   std::uint32_t timeoutMs) {
    Update(printer);
    if (printer.restarting || printer.failWrites) {
        return false;
    }
    if (printer.stallWrites) {
        m_clock.SleepMs(timeoutMs);
        return false;
    }
    printer.writes.push_back({m_clock.NowMs(), {bytes, bytes + count}, timeoutMs});
    const std::vector<std::uint8_t>& written = printer.writes.back().bytes;
    if (written.size() == 6 &&
        std::equal(std::begin(kModeCommand), std::end(kModeCommand), written.begin())) {
        printer.commanded = static_cast<UsbType>(written.back());
    } else if (written == std::vector<std::uint8_t>{0x1D, 0xFF}) {
        printer.restarting = true;
        printer.backAtMs = m_clock.NowMs() + printer.restartMs;
        ++printer.restarts;
    }
    return true;
}

Printer Described(const PrinterDescription& description, CaseSystem system, std::size_t index) {
    if (description.linger_ms != 0 || description.unplug_after_ms ||
        description.unplug_at_command || description.unplugged) {
        throw std::invalid_argument("the fake cannot play a printer that leaves the bus by itself");
    }
    Printer printer;
    printer.mode = static_cast<UsbType>(description.mode);
    printer.identity = description.serial.value_or(RowPlace(index));
    if (system == CaseSystem::Windows) {
        printer.shownId = "USB\\VID_6B1F&PID_" + product_id_text(description.product_id) + "\\" +
                          printer.identity;
        printer.port = description.port;
        printer.portProblem = "no port";
        if (description.no_driver_in) {
            printer.noDriverIn = static_cast<UsbType>(*description.no_driver_in);
        }
        printer.problemCode = description.problem_code;
    } else {
        printer.port = "/dev/ttyACM" + std::to_string(index);
        printer.place = RowPlace(index);
        // Orvane needs no kernel driver in the other modes.
        if (description.no_driver_in == UsbMode::CommClass) {
            printer.portModuleMissing = "cdc_acm";
        }
    }
    printer.plugAtMs = description.plug_after_ms;
    printer.restartMs = description.restart_ms;
    printer.neverReturns = description.never_back;
    if (description.back_in) {
        printer.returnMode = static_cast<UsbType>(*description.back_in);
    }
    if (description.settles_in) {
        printer.settlesIn = static_cast<UsbType>(*description.settles_in);
    }
    printer.leavesAfterReturn = description.leaves_after_return;
    printer.failWrites = description.fail_writes;
    printer.stallWrites = description.stall_writes;
    printer.inUse = description.held == HeldPart::Whole;
    printer.commandPipeInUse = description.held == HeldPart::CommandOnly;
    return printer;
}

void NameSharedSerials(Backend& backend, CaseSystem system) {
    for (std::size_t i = 0; i < backend.printerCount(); ++i) {
        for (std::size_t j = 0; j < backend.printerCount(); ++j) {
            Printer& printer = backend.printer(i);
            if (i == j || !EqualIgnoringCase(printer.identity, backend.printer(j).identity)) {
                continue;
            }
            printer.sharedSerial = printer.identity;
        }
    }
    // Each is then named by where it is plugged in: its instance ID, or its port path.
    for (std::size_t i = 0; i < backend.printerCount(); ++i) {
        Printer& printer = backend.printer(i);
        if (!printer.sharedSerial.empty()) {
            printer.identity = system == CaseSystem::Windows ? printer.shownId : RowPlace(i);
        }
    }
}

} // namespace fake
