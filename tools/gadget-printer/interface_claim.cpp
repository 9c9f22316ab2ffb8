#include "interface_claim.h"

#include "udc_host_port.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <linux/usbdevice_fs.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
// A device that has just been configured may still be settling in sysfs and its driver still
// binding: look again for up to 3 s.
constexpr int attempts = 30;
constexpr auto retry_pause = std::chrono::milliseconds(100);

// Detaches (USBDEVFS_DISCONNECT) or attaches again (USBDEVFS_CONNECT) the kernel's driver of
// an interface, as libusb's automatic detach does.
void driver_request(int fd, int number, unsigned long request) {
    usbdevfs_ioctl command{number, static_cast<int>(request), nullptr};
    ioctl(fd, USBDEVFS_IOCTL, &command);
}
} // namespace

InterfaceClaim::InterfaceClaim(const std::string& udc, int number, bool driver_expected)
    : port_(udc_host_port(udc)), number_(number) {
    const fs::path driver =
        fs::path("/sys/bus/usb/devices") / (port_ + ":1." + std::to_string(number)) / "driver";
    for (int attempt = 1; fd_ < 0; ++attempt) {
        std::error_code error;
        const std::string node = usb_device_node(port_);
        if (!node.empty() && (!driver_expected || fs::exists(driver, error))) {
            fd_ = open(node.c_str(), O_RDWR | O_CLOEXEC);
        }
        if (fd_ < 0 && attempt == attempts) {
            throw std::runtime_error("no device of " + udc + " opened at '" + port_ + "'");
        }
        if (fd_ < 0) {
            std::this_thread::sleep_for(retry_pause);
        }
    }
    driver_request(fd_, number, USBDEVFS_DISCONNECT);
    auto interface = static_cast<unsigned int>(number);
    if (ioctl(fd_, USBDEVFS_CLAIMINTERFACE, &interface) != 0) {
        const std::string why = std::strerror(errno);
        driver_request(fd_, number, USBDEVFS_CONNECT);
        close(fd_);
        throw std::runtime_error("claim of " + held() + ": " + why);
    }
}

InterfaceClaim::~InterfaceClaim() {
    auto interface = static_cast<unsigned int>(number_);
    ioctl(fd_, USBDEVFS_RELEASEINTERFACE, &interface);
    driver_request(fd_, number_, USBDEVFS_CONNECT);
    close(fd_);
}
