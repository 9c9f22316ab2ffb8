#include "interface_claim.h"

#include "configfs_gadget.h"
#include "udc_host_port.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
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

// "/dev/bus/usb/BBB/DDD": the usbfs node of the device at `device` in sysfs.
std::string usbfs_node(const fs::path& device) {
    char node[40];
    std::snprintf(node, sizeof node, "/dev/bus/usb/%03d/%03d",
                  std::stoi(read_attribute(device / "busnum")),
                  std::stoi(read_attribute(device / "devnum")));
    return node;
}

// Detaches (USBDEVFS_DISCONNECT) or attaches again (USBDEVFS_CONNECT) the kernel's driver of
// an interface, as libusb's automatic detach does.
void driver_request(int fd, int number, unsigned long request) {
    usbdevfs_ioctl command{number, static_cast<int>(request), nullptr};
    ioctl(fd, USBDEVFS_IOCTL, &command);
}
} // namespace

InterfaceClaim::InterfaceClaim(const std::string& udc, int number, bool driver_expected)
    : port_(udc_host_port(udc)), number_(number) {
    const fs::path device = fs::path("/sys/bus/usb/devices") / port_;
    const fs::path driver =
        device.parent_path() / (port_ + ":1." + std::to_string(number)) / "driver";
    for (int attempt = 1; fd_ < 0; ++attempt) {
        std::error_code error;
        if (!port_.empty() && fs::exists(device / "devnum", error) &&
            (!driver_expected || fs::exists(driver, error))) {
            fd_ = open(usbfs_node(device).c_str(), O_RDWR | O_CLOEXEC);
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
