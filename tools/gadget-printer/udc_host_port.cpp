#include "udc_host_port.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

std::string udc_host_port(const std::string& udc) {
    const std::string host = "/dummy_hcd." + udc.substr(udc.rfind('.') + 1) + "/";
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator("/sys/bus/usb/devices", error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("usb", 0) == 0 &&
            fs::canonical(entry.path(), error).string().find(host) != std::string::npos) {
            return name.substr(3) + "-1";
        }
    }
    return "";
}

std::string usb_device_node(const std::string& port) {
    const fs::path device = fs::path("/sys/bus/usb/devices") / port;
    int bus = -1;
    int number = -1;
    std::ifstream(device / "busnum") >> bus;
    std::ifstream(device / "devnum") >> number;
    if (port.empty() || bus < 0 || number < 0) {
        return "";
    }
    char node[40]; // room for two numbers of any size
    std::snprintf(node, sizeof node, "/dev/bus/usb/%03d/%03d", bus, number);
    return node;
}
