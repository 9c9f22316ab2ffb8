#include "device/windows/DevicePort.h"

#include "device/PrinterChoice.h"
#include "device/windows/InterfaceWalk.h"
#include "device/windows/UsbDeviceIds.h"
#include "platform/win32.h"

#include <algorithm>
#include <vector>

namespace {
constexpr const char* kPortNameValue = "PortName";

std::optional<std::string> ReadPortName(HDEVINFO hDevInfo, SP_DEVINFO_DATA* pDevice) {
    const HKEY hKey =
        SetupDiOpenDevRegKey(hDevInfo, pDevice, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (hKey == INVALID_HANDLE_VALUE || hKey == nullptr) {
        return std::nullopt;
    }
    std::optional<std::string> port;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(hKey, kPortNameValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_SZ && size > 0 && size <= 1024) {
        std::vector<char> data(size + 1, '\0');
        if (RegQueryValueExA(hKey, kPortNameValue, nullptr, nullptr,
                             reinterpret_cast<LPBYTE>(data.data()), &size) == ERROR_SUCCESS) {
            // Stored with or without its terminator; the extra cell terminates it either way.
            std::string text(data.data());
            if (!text.empty()) {
                port = std::move(text);
            }
        }
    }
    RegCloseKey(hKey);
    return port;
}
} // namespace

DevicePortAnswer ReadDevicePortName(const std::string& identity) {
    DevicePortAnswer answer;
    InterfaceWalk walk(kInterfaceClass[IDCOMMCLASSTYPE]);
    std::string path;
    SP_DEVINFO_DATA device{};
    std::string mine = identity;
    std::vector<std::string> others;
    while (walk.Next(&path, &device)) {
        const std::string instance = InstanceOfPath(path);
        if (mine.empty()) {
            if (!InterfaceAnswers(path)) {
                continue;
            }
            mine = instance;
        }
        if (SameIdentity(instance, mine)) {
            if (!answer.port) {
                answer.port = ReadPortName(walk.DeviceSet(), &device);
            }
            continue;
        }
        if (std::none_of(others.begin(), others.end(),
                         [&](const std::string& other) { return SameIdentity(other, instance); }) &&
            InterfaceAnswers(path)) {
            others.push_back(instance);
        }
    }
    answer.otherCommPrinters = static_cast<int>(others.size());
    return answer;
}
