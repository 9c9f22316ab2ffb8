#include "interface_claim.h"

#include "udc_host_port.h"

#include <libusb.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace {
const fs::path usb_devices = "/sys/bus/usb/devices";
// A device that has just been configured may still be settling in sysfs and its driver still
// binding: look again for up to 3 s.
constexpr int attempts = 30;
constexpr auto retry_pause = std::chrono::milliseconds(100);

std::string host_port(const std::string& udc) {
    std::string port = udc_host_port(udc);
    if (port.empty()) {
        throw std::runtime_error("no host side found for " + udc);
    }
    return port;
}

// "<bus>-<port>.<port>..." as the kernel names the device in sysfs.
std::string port_path(libusb_device* device) {
    std::uint8_t ports[8];
    const int count = libusb_get_port_numbers(device, ports, sizeof ports);
    std::string path = std::to_string(libusb_get_bus_number(device)) + "-";
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            path += '.';
        }
        path += std::to_string(ports[i]);
    }
    return count > 0 ? path : "";
}

libusb_device_handle* open_at(libusb_context* context, const std::string& port) {
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context, &list);
    libusb_device_handle* handle = nullptr;
    for (ssize_t i = 0; i < count && handle == nullptr; ++i) {
        if (port_path(list[i]) == port && libusb_open(list[i], &handle) != 0) {
            handle = nullptr;
        }
    }
    if (count >= 0) {
        libusb_free_device_list(list, 1);
    }
    return handle;
}
} // namespace

void InterfaceClaim::ContextDeleter::operator()(libusb_context* context) const {
    libusb_exit(context);
}

void InterfaceClaim::HandleDeleter::operator()(libusb_device_handle* handle) const {
    libusb_close(handle);
}

InterfaceClaim::InterfaceClaim(const std::string& udc, int number, bool driver_expected)
    : port_(host_port(udc)), number_(number) {
    const fs::path driver = usb_devices / (port_ + ":1." + std::to_string(number) + "/driver");
    // Each attempt with a new context: without udevd libusb learns of no arrival.
    for (int attempt = 1; !handle_; ++attempt) {
        std::error_code error;
        if (!driver_expected || fs::exists(driver, error)) {
            context_.reset();
            libusb_context* context = nullptr;
            if (libusb_init(&context) != 0) {
                throw std::runtime_error("libusb_init failed");
            }
            context_.reset(context);
            handle_.reset(open_at(context, port_));
        }
        if (!handle_ && attempt == attempts) {
            throw std::runtime_error("no device opened at " + port_);
        }
        if (!handle_) {
            std::this_thread::sleep_for(retry_pause);
        }
    }
    libusb_set_auto_detach_kernel_driver(handle_.get(), 1);
    if (const int claimed = libusb_claim_interface(handle_.get(), number); claimed != 0) {
        throw std::runtime_error("claim of " + held() + ": " + libusb_error_name(claimed));
    }
}

InterfaceClaim::~InterfaceClaim() {
    libusb_release_interface(handle_.get(), number_);
}
