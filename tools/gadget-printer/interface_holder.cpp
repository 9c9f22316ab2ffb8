// usb-interface-holder: another program that has a printer's interface claimed, as a print
// backend would while printing. It claims one interface of the device at a port path through
// libusb (the kernel's driver detached for the claim), logs "holding", and keeps the claim
// until SIGTERM or its bound, then releases it, which gives the kernel's driver back.
#include "receive_log.h"

#include <libusb.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {
const char* const help_text =
    "usage: usb-interface-holder --port PATH --interface N [--hold-ms N] [--log FILE]\n"
    "Claims interface N of the USB device at port path PATH (\"1-1\") and holds it until\n"
    "SIGTERM, or for at most --hold-ms (default 600000). Logs '<ms> holding PATH N' once the\n"
    "claim is made, '<ms> released' at the end.\n";

[[noreturn]] void refuse(const std::string& why) {
    std::fprintf(stderr, "usb-interface-holder: %s\n%s", why.c_str(), help_text);
    std::exit(2);
}

struct Options {
    std::string port;
    int interface_number = -1;
    unsigned hold_ms = 600000;
    std::string log_path;
};

Options parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                refuse(std::string(arg) + " needs a value");
            }
            return argv[++i];
        };
        if (arg == "--help") {
            std::fputs(help_text, stdout);
            std::exit(0);
        } else if (arg == "--port") {
            options.port = value();
        } else if (arg == "--interface") {
            options.interface_number = std::atoi(value().c_str());
        } else if (arg == "--hold-ms") {
            options.hold_ms = static_cast<unsigned>(std::strtoul(value().c_str(), nullptr, 10));
        } else if (arg == "--log") {
            options.log_path = value();
        } else {
            refuse("unknown option " + std::string(arg));
        }
    }
    if (options.port.empty() || options.interface_number < 0) {
        refuse("--port and --interface are required");
    }
    return options;
}

// "<bus>-<port>.<port>..." as the kernel names the device in sysfs.
std::string port_path(libusb_device* device) {
    std::uint8_t ports[8];
    const int count = libusb_get_port_numbers(device, ports, sizeof ports);
    if (count <= 0) {
        return "";
    }
    std::string path = std::to_string(libusb_get_bus_number(device)) + "-";
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            path += '.';
        }
        path += std::to_string(ports[i]);
    }
    return path;
}

struct ContextDeleter {
    void operator()(libusb_context* context) const { libusb_exit(context); }
};
struct HandleDeleter {
    void operator()(libusb_device_handle* handle) const { libusb_close(handle); }
};
using Context = std::unique_ptr<libusb_context, ContextDeleter>;
using Handle = std::unique_ptr<libusb_device_handle, HandleDeleter>;

Handle open_at(libusb_context* context, const std::string& port, bool report) {
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context, &list);
    Handle handle;
    for (ssize_t i = 0; i < count && !handle; ++i) {
        if (port_path(list[i]) != port) {
            continue;
        }
        libusb_device_handle* opened = nullptr;
        const int error = libusb_open(list[i], &opened);
        if (error != 0 && report) {
            std::fprintf(stderr, "usb-interface-holder: open %s: %s\n", port.c_str(),
                         libusb_error_name(error));
        }
        handle.reset(opened);
    }
    if (count >= 0) {
        libusb_free_device_list(list, 1);
    }
    return handle;
}

// The handle is declared last, so it is closed before its context ends.
struct OpenDevice {
    Context context;
    Handle handle;
};

// A device that has just been configured may still be settling in sysfs: look again, each
// time with a new context (without udevd libusb learns of no arrival), for up to 3 s.
OpenDevice open_settled(const std::string& port) {
    constexpr int attempts = 30;
    constexpr long pause_ns = 100L * 1000 * 1000;
    for (int attempt = 1;; ++attempt) {
        libusb_context* context = nullptr;
        if (libusb_init(&context) != 0) {
            throw std::runtime_error("libusb_init failed");
        }
        OpenDevice device{Context(context), {}};
        device.handle = open_at(context, port, attempt == attempts);
        if (device.handle || attempt == attempts) {
            return device;
        }
        const timespec pause{0, pause_ns};
        nanosleep(&pause, nullptr);
    }
}

sigset_t stop_signals() {
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    return stop;
}

// Waits for SIGTERM or SIGINT (blocked since the start), at most `ms`.
void wait_for_stop(unsigned ms) {
    const sigset_t stop = stop_signals();
    const timespec bound{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000};
    sigtimedwait(&stop, nullptr, &bound);
}

int hold(const Options& options) {
    ReceiveLog log(options.log_path);
    const OpenDevice device = open_settled(options.port);
    const Handle& handle = device.handle;
    if (!handle) {
        std::fprintf(stderr, "usb-interface-holder: no device opened at %s\n",
                     options.port.c_str());
        return 1;
    }
    libusb_set_auto_detach_kernel_driver(handle.get(), 1);
    const int claimed = libusb_claim_interface(handle.get(), options.interface_number);
    if (claimed != 0) {
        std::fprintf(stderr, "usb-interface-holder: claim %s interface %d: %s\n",
                     options.port.c_str(), options.interface_number, libusb_error_name(claimed));
        return 1;
    }
    log.line("holding " + options.port + " " + std::to_string(options.interface_number));
    wait_for_stop(options.hold_ms);
    libusb_release_interface(handle.get(), options.interface_number);
    log.line("released");
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    const Options options = parse(argc, argv);
    // Blocked before the claim, so that a SIGTERM sent at once still ends the hold in order.
    const sigset_t stop = stop_signals();
    sigprocmask(SIG_BLOCK, &stop, nullptr);

    try {
        return hold(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "usb-interface-holder: %s\n", error.what());
        return 1;
    }
}
