// gadget-printer: Orvane's printer played from the device side of a USB device controller, for
// the tests that run orvane against a real kernel. It serves one mode at a time; after the
// mode command and the reset it leaves the bus, waits its restart time and comes back in the
// new mode, with the same serial number.
#include "gadget_options.h"
#include "hex_bytes.h"
#include "interface_claim.h"
#include "mode_command_parser.h"
#include "mode_function.h"
#include "module_away.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <stdexcept>
#include <sys/time.h>
#include <unistd.h>

namespace {
constexpr std::uint16_t vendor_id = 0x6B1F;

// The log: one line per event, each starting with CLOCK_MONOTONIC in ms (the clock the guest's
// tests read too), flushed at once. Standard output unless --log names a file.
std::FILE* log_file = stdout;

void log_line(const std::string& text) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(log_file, "%lld %s\n",
                 static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000, text.c_str());
    std::fflush(log_file);
}

volatile std::sig_atomic_t terminated = 0;
volatile std::sig_atomic_t unplug_due = 0; // SIGALRM: --unplug-after-ms

void on_signal(int signal) {
    (signal == SIGALRM ? unplug_due : terminated) = 1;
}

// Without SA_RESTART, so that a blocked read returns EINTR and the loop looks at the flags.
void install_handlers() {
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGALRM}) {
        sigaction(signal, &action, nullptr);
    }
}

void arm_unplug(unsigned ms) {
    itimerval timer{};
    timer.it_value.tv_sec = ms / 1000;
    timer.it_value.tv_usec = static_cast<suseconds_t>(ms % 1000) * 1000;
    if (ms == 0) {
        timer.it_value.tv_usec = 1;
    }
    setitimer(ITIMER_REAL, &timer, nullptr);
}

bool stopping() {
    return terminated != 0 || unplug_due != 0;
}

// Sleeps, or less when a signal asks to stop.
void pause_ms(unsigned ms) {
    timespec left{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000};
    while (!stopping() && nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

void wait_for_termination() {
    while (terminated == 0) {
        pause();
    }
}

// "up" means the host has enumerated and configured the device, as a real printer's
// return would be seen: the UDC says so.
// The UDC's state keeps "configured" from the gadget bound before (this one's last run, or
// another gadget's) until the host resets the port for the new device; so the state must first
// leave "configured", then come back to it, for the host to have configured this device.
void wait_until_configured(const std::string& udc) {
    const std::string state = "/sys/class/udc/" + udc + "/state";
    for (const bool configured : {false, true}) {
        for (int tries = 0; (read_attribute(state) == "configured") != configured; ++tries) {
            if (tries == 1000 || terminated != 0) {
                throw std::runtime_error("the host did not " +
                                         std::string(configured ? "configure" : "reset") +
                                         " the device on " + udc);
            }
            pause_ms(10);
        }
    }
}

enum class Outcome { Restart, Leave, Stop };

// Serves one mode until the printer restarts, leaves for good, or is told to stop.
Outcome serve(const GadgetOptions& options, ModeFunction& function,
              std::optional<UsbMode>& next_mode) {
    ModeCommandParser parser;
    std::optional<UsbMode> asked;
    std::uint8_t buffer[4096];
    for (;;) {
        if (terminated != 0) {
            return Outcome::Stop;
        }
        if (unplug_due != 0) {
            return Outcome::Leave;
        }
        if (options.printer.stall_writes) {
            pause();
            continue;
        }
        const int fd = function.command_fd();
        if (fd < 0) {
            pause_ms(20);
            continue;
        }
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count < 0) {
            if (errno != EINTR) {
                // Not configured by the host yet, or between its resets: try again shortly.
                pause_ms(20);
            }
            continue;
        }
        if (count == 0) {
            pause_ms(20);
            continue;
        }
        log_line("read " + function.endpoint() + " " +
                 hex_bytes({buffer, static_cast<std::size_t>(count)}));
        for (const PrinterCommand& command :
             parser.feed({buffer, static_cast<std::size_t>(count)})) {
            if (command.kind == PrinterCommand::Kind::SetMode) {
                asked = command.mode;
                log_line("command " + std::string(usb_mode_name(*command.mode)));
                if (options.printer.unplug_at_command) {
                    next_mode = options.printer.back_in.value_or(options.printer.mode);
                    return options.printer.never_back ? Outcome::Leave : Outcome::Restart;
                }
            } else if (command.kind == PrinterCommand::Kind::Reset && asked) {
                log_line("reset");
                pause_ms(options.printer.linger_ms);
                next_mode = options.printer.back_in.value_or(*asked);
                return options.printer.never_back ? Outcome::Leave : Outcome::Restart;
            }
        }
    }
}

int run(const GadgetOptions& options) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> log(
        options.log_path.empty() ? nullptr : std::fopen(options.log_path.c_str(), "a"),
        std::fclose);
    if (!options.log_path.empty() && !log) {
        throw std::runtime_error("cannot open the log " + options.log_path);
    }
    log_file = log ? log.get() : stdout;
    // Before the gadget is on the bus, so that no driver ever binds it.
    std::optional<ModuleAway> no_comm_driver;
    if (options.printer.no_driver_in == UsbMode::CommClass) {
        no_comm_driver.emplace("cdc_acm");
    }
    ConfigfsGadget gadget(options.name, vendor_id, options.printer.serial);
    UsbMode mode = options.printer.mode;
    bool first = true;
    for (;;) {
        gadget.set_product_id(options.printer.product_id);
        std::optional<UsbMode> next_mode;
        Outcome outcome = Outcome::Stop;
        {
            ModeFunction function(gadget, mode, options.udc);
            wait_until_configured(options.udc);
            // Held by another program from the moment it is up.
            std::optional<InterfaceClaim> claim;
            if (options.printer.held != HeldPart::None) {
                claim.emplace(options.udc, mode == UsbMode::CommClass ? 1 : 0,
                              mode != UsbMode::Native);
                log_line("holding " + claim->held());
            }
            log_line("up " + std::string(usb_mode_name(mode)) + " " + options.udc);
            if (first && options.printer.unplug_after_ms) {
                arm_unplug(*options.printer.unplug_after_ms);
            }
            first = false;
            outcome = serve(options, function, next_mode);
        }
        log_line("down");
        if (outcome == Outcome::Stop) {
            return 0;
        }
        if (outcome == Outcome::Leave) {
            wait_for_termination();
            return 0;
        }
        pause_ms(options.printer.restart_ms);
        if (terminated != 0) {
            return 0;
        }
        mode = *next_mode;
    }
}
} // namespace

int main(int argc, char** argv) {
    const GadgetOptions options = parse_gadget_options(argc, argv);
    install_handlers();
    try {
        return run(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "gadget-printer: %s\n", error.what());
        return 1;
    }
}
