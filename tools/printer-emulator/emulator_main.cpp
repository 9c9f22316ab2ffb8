// PrinterEmulator.exe: plays the USB printer under Wine so that Orvane.exe can be tested
// end to end, unmodified, against the real Setup API, object namespace and named pipes.
#include "emulated_devices.h"
#include "emulator_options.h"
#include "line_file.h"
#include "pipe_server.h"
#include "printer.h"
#include "printer_pipes.h"
#include "serial_port_map.h"
#include "side_interfaces.h"
#include "stop_signal.h"
#include "tool_command.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr char stop_event_name[] = "OrvanePrinterEmulatorStop";

std::string describe(const EmulatorOptions& options) {
    const PrinterOptions& printer = options.printers.front();
    std::string text = "start mode=" + std::string(usb_mode_name(printer.start_mode)) +
                       " pid=" + printer.product_id +
                       " restart-ms=" + std::to_string(printer.restart_ms) +
                       " port=" + printer.port.value_or("none") +
                       " lifetime-s=" + std::to_string(options.lifetime_s);
    if (printer.never_back) {
        text += " never-back";
    }
    if (printer.back_in) {
        text += " back-in=" + std::string(usb_mode_name(*printer.back_in));
    }
    if (printer.fail_writes) {
        text += " fail-writes";
    }
    if (printer.stall_writes) {
        text += " stall-writes";
    }
    if (!printer.device_port) {
        text += " no-device-port";
    }
    if (printer.serial != PrinterOptions{}.serial) {
        text += " serial=" + printer.serial;
    }
    if (options.foreign) {
        text += " foreign";
    }
    if (options.dead) {
        text += " dead";
    }
    return text;
}

WriteHandling command_writes(const PrinterOptions& options) {
    if (options.fail_writes) {
        return WriteHandling::Cut;
    }
    return options.stall_writes ? WriteHandling::Stall : WriteHandling::Take;
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

int serve(const EmulatorOptions& options, LineFile& log, const StopSignal& stop) {
    const Deadline deadline = Deadline::after_seconds(options.lifetime_s);
    log.write_line(describe(options));
    purge_emulated_devices();

    Printer printer(options.printers.front(), serial_port_entry(0), log, stop.handle(), deadline);
    PrinterPipe presence(printer, "PIPE00", false);
    PrinterPipe commands(printer, "PIPE01", true);
    PipeServer presence_server("\\\\.\\pipe\\PIPE00", presence, WriteHandling::Take, stop.handle(),
                               deadline);
    PipeServer command_server("\\\\.\\pipe\\PIPE01", commands,
                              command_writes(options.printers.front()), stop.handle(), deadline);
    SideInterfaces side;
    // Declared last, so it raises the stop event before the servers and printer go away.
    StopOnExit stop_on_exit(stop);

    std::string error;
    if (!presence_server.start(error) || !command_server.start(error) ||
        !side.add(options, log, stop.handle(), deadline, error) || !printer.power_on(error)) {
        log.write_line("error " + error);
        std::fprintf(stderr, "PrinterEmulator: %s\n", error.c_str());
        return tool_exit_failure;
    }
    log.write_line("ready");
    const bool stopped = printer.run();
    log.write_line(stopped ? "stop requested" : "stop lifetime-over");
    stop.raise();
    printer.power_off();
    side.remove();
    presence_server.join();
    command_server.join();
    log.write_line("stopped");
    return tool_exit_ok;
}

int run(const EmulatorOptions& options) {
    // The stop event first: a second emulator must fail before it truncates any log.
    StopSignal stop;
    std::string error;
    if (!stop.create(stop_event_name, error)) {
        std::fprintf(stderr, "PrinterEmulator: %s\n", error.c_str());
        return tool_exit_failure;
    }
    LineFile log;
    if (!log.open(options.log_path)) {
        std::fprintf(stderr, "PrinterEmulator: cannot create log %s (error %lu)\n",
                     options.log_path.c_str(), GetLastError());
        return tool_exit_failure;
    }
    return serve(options, log, stop);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments = tool_arguments(argc, argv);
    const auto parsed = parse_emulator_arguments(arguments);
    if (const auto* message = std::get_if<std::string>(&parsed)) {
        std::fprintf(stderr, "PrinterEmulator: %s (see --help)\n", message->c_str());
        return tool_exit_usage;
    }
    const auto& command = std::get<EmulatorCommand>(parsed);
    switch (command.action) {
    case EmulatorAction::Help:
        std::fwrite(emulator_help_text().data(), 1, emulator_help_text().size(), stdout);
        return tool_exit_ok;
    case EmulatorAction::Stop:
        return stop_running_instance("PrinterEmulator", stop_event_name);
    case EmulatorAction::Purge:
        purge_emulated_devices();
        return tool_exit_ok;
    case EmulatorAction::Run:
        break;
    }
    return run(command.options);
}
