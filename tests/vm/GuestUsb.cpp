#include "GuestUsb.h"

#include "udc_host_port.h"

#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace {
const fs::path kUsbDevices = "/sys/bus/usb/devices";

std::string InterfacePath(const std::string& portPath, int interfaceNumber) {
    return (kUsbDevices / (portPath + ":1." + std::to_string(interfaceNumber))).string();
}
} // namespace

std::string PortPathOfUdc(int udcIndex) {
    return udc_host_port("dummy_udc." + std::to_string(udcIndex));
}

std::string InterfaceDriver(const std::string& portPath, int interfaceNumber) {
    std::error_code error;
    const fs::path driver =
        fs::read_symlink(InterfacePath(portPath, interfaceNumber) + "/driver", error);
    return error ? "" : driver.filename().string();
}

// "/dev/<prefix><name>" of the first entry of the interface's class folder, "" if none.
static std::string ClassNode(const std::string& portPath, int interfaceNumber, const char* classDir,
                             const char* prefix) {
    std::error_code error;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(InterfacePath(portPath, interfaceNumber) + classDir, error)) {
        const std::string node = std::string("/dev/") + prefix + entry.path().filename().string();
        return fs::exists(node, error) ? node : "";
    }
    return "";
}

std::string InterfaceTty(const std::string& portPath, int interfaceNumber) {
    return ClassNode(portPath, interfaceNumber, "/tty", "");
}

std::string InterfacePrinterNode(const std::string& portPath, int interfaceNumber) {
    return ClassNode(portPath, interfaceNumber, "/usbmisc", "usb/");
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds within) {
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return done();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}
