#include "udc_host_port.h"

#include <filesystem>

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
