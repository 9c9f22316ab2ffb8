// PrinterEmulator.exe: plays the USB printer under Wine so that Orvane.exe can be tested
// end to end, unmodified, against the real Setup API, object namespace and named pipes.
#include "emulator_options.h"
#include "line_file.h"
#include "printer.h"
#include "registry.h"
#include "side_interfaces.h"
#include "stop_signal.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr char stop_event_name[] = "OrvanePrinterEmulatorStop";
// 3 is --stop, --plug or --unplug finding no emulator (signal_running_emulator).
enum ExitCode { exit_ok = 0, exit_failure = 1, exit_usage = 2 };

// A printer playing alone logs as it always has; beside another, each of its lines names it by
// its serial, and by serial and product ID when both printers have one serial.
std::string log_tag(const EmulatorOptions& options, const PrinterDescription& printer) {
    if (options.printers.size() < 2) {
        return {};
    }
    const bool shared = options.printers.front().serial == options.printers.back().serial;
    std::string tag = *printer.serial;
    if (shared) {
        tag += '@';
        tag += product_id_text(printer.product_id);
    }
    return tag + ": ";
}

// Raises the stop event when the run ends by any path, so no thread outlives its owner.
class StopOnExit {
  public:
    explicit StopOnExit(const StopSignal& stop) : stop_(stop) {}
    StopOnExit(const StopOnExit&) = delete;
    StopOnExit& operator=(const StopOnExit&) = delete;
    ~StopOnExit() { stop_.raise(); }

  private:
    const StopSignal& stop_;
};

using Printers = std::vector<std::unique_ptr<Printer>>;

// Pipes first, then the side interfaces, then the printers come up. Printers log their own
// failures.
bool start_all(const EmulatorOptions& options, const Printers& printers, SideInterfaces& side,
               LineFile& log, const StopSignal& stop, Deadline deadline, std::string& error) {
    for (const auto& printer : printers) {
        if (!printer->start_pipes(error)) {
            return false;
        }
    }
    if (!side.add(options, log, stop.handle(), deadline, error)) {
        log.write_line("error " + error);
        return false;
    }
    for (const auto& printer : printers) {
        if (!printer->power_on(error)) {
            return false;
        }
    }
    return true;
}

// The one thread that powers the printers: it waits for any printer's restart request or return,
// and for the stop event, so one printer's time away never holds up another. True when the stop
// event ended it, false when the deadline did.
bool run_printers(const Printers& printers, HANDLE stop_event, const Deadline& deadline) {
    std::vector<HANDLE> waits{stop_event};
    for (const auto& printer : printers) {
        for (const HANDLE event : printer->wake_events()) {
            waits.push_back(event);
        }
    }
    for (;;) {
        const DWORD woken = WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(),
                                                   FALSE, deadline.remaining_ms());
        if (woken == WAIT_OBJECT_0) {
            return true;
        }
        if (woken >= WAIT_OBJECT_0 + waits.size()) {
            return false; // the deadline, or a wait that failed
        }
        const std::size_t index = woken - WAIT_OBJECT_0 - 1;
        printers[index / Printer::wake_event_count]->woken(index % Printer::wake_event_count);
    }
}

int serve(const EmulatorOptions& options, LineFile& log, const StopSignal& stop) {
    const Deadline deadline = Deadline::after_seconds(options.lifetime_s);
    log.write_line("start" + options.arguments);
    purge_emulated_devices();

    Printers printers;
    for (std::size_t index = 0; index < options.printers.size(); ++index) {
        const PrinterDescription& printer = options.printers[index];
        printers.push_back(std::make_unique<Printer>(
            printer, pipe_kind(printer, index), index + 1, serial_port_entry(index),
            log_tag(options, printer), log, stop.handle(), deadline));
        // Who plays each place of the command line, under the tag its lines carry: a reader of
        // the log needs neither the defaults nor the tag's rule.
        printers.back()->log_event("printer " + std::to_string(index + 1) +
                                   (printer.port ? " port " + *printer.port : std::string()));
    }
    SideInterfaces side;
    // Declared last, so it raises the stop event before the printers and their servers go.
    StopOnExit stop_on_exit(stop);

    std::string error;
    if (!start_all(options, printers, side, log, stop, deadline, error)) {
        std::fprintf(stderr, "PrinterEmulator: %s\n", error.c_str());
        return exit_failure;
    }
    log.write_line("ready");
    const bool stopped = run_printers(printers, stop.handle(), deadline);
    log.write_line(stopped ? "stop requested" : "stop lifetime-over");
    stop.raise();
    for (const auto& printer : printers) {
        printer->power_off();
    }
    side.remove();
    for (const auto& printer : printers) {
        printer->join_pipes();
    }
    log.write_line("stopped");
    return exit_ok;
}

int run(const EmulatorOptions& options) {
    // The stop event first: a second emulator must fail before it truncates any log.
    StopSignal stop;
    std::string error;
    if (!stop.create(stop_event_name, error)) {
        std::fprintf(stderr, "PrinterEmulator: %s\n", error.c_str());
        return exit_failure;
    }
    LineFile log;
    if (!log.open(options.log_path)) {
        std::fprintf(stderr, "PrinterEmulator: cannot create log %s (error %lu)\n",
                     options.log_path.c_str(), GetLastError());
        return exit_failure;
    }
    return serve(options, log, stop);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + std::min(argc, 1), argv + argc);
    const auto parsed = parse_emulator_arguments(arguments);
    if (const auto* message = std::get_if<std::string>(&parsed)) {
        std::fprintf(stderr, "PrinterEmulator: %s (see --help)\n", message->c_str());
        return exit_usage;
    }
    const auto& command = std::get<EmulatorCommand>(parsed);
    switch (command.action) {
    case EmulatorAction::Help:
        std::fputs(emulator_help_text().c_str(), stdout);
        return exit_ok;
    case EmulatorAction::Stop:
        return signal_running_emulator(stop_event_name);
    case EmulatorAction::Plug:
    case EmulatorAction::Unplug:
        return signal_running_emulator(
            plug_event_name(command.printer_number, command.action == EmulatorAction::Plug));
    case EmulatorAction::Purge:
        purge_emulated_devices();
        return exit_ok;
    case EmulatorAction::Run:
        break;
    }
    return run(command.options);
}
