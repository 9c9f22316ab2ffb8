#include "device/windows/DevicePort.h"

#include "common/TextCase.h"
#include "device/windows/InterfaceWalk.h"
#include "device/windows/PortValue.h"
#include "device/windows/UsbDeviceIds.h"
#include "platform/win32.h"

#include <algorithm>
#include <vector>

namespace {
constexpr const char* kPortNameValue = "PortName";
// Room for the longest port name a device key may hold.
constexpr int kDevicePortRoom = 1025;

std::optional<std::string> ReadPortName(HDEVINFO hDevInfo, SP_DEVINFO_DATA* pDevice) {
    const HKEY hKey =
        SetupDiOpenDevRegKey(hDevInfo, pDevice, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (hKey == INVALID_HANDLE_VALUE || hKey == nullptr) {
        return std::nullopt;
    }
    std::vector<char> text(kDevicePortRoom, '\0');
    DWORD type = 0;
    const LONG status = ReadPortValue(hKey, kPortNameValue, text.data(), kDevicePortRoom, &type);
    RegCloseKey(hKey);
    if (status != ERROR_SUCCESS || type != REG_SZ || text.front() == '\0') {
        return std::nullopt;
    }
    return std::string(text.data());
}
} // namespace

DevicePortAnswer ReadDevicePortName(const PrinterTarget& printer) {
    DevicePortAnswer answer;
    InterfaceWalk walk(kInterfaceClass[IDCOMMCLASSTYPE], WalkTrace::Quiet);
    std::string path;
    SP_DEVINFO_DATA device{};
    PrinterTarget meant = printer;
    std::vector<std::string> others;
    while (walk.NextPrinter(&path, &device)) {
        const std::string instance = InstanceOfPath(path);
        if (!meant.IsListed()) {
            if (!InterfaceAnswers(path)) {
                continue;
            }
            meant = PrinterTarget::Listed(instance);
        }
        if (meant.Matches(instance)) {
            if (!answer.port) {
                answer.port = ReadPortName(walk.DeviceSet(), &device);
            }
            continue;
        }
        if (std::none_of(
                others.begin(), others.end(),
                [&](const std::string& other) { return EqualIgnoringCase(other, instance); }) &&
            InterfaceAnswers(path)) {
            others.push_back(instance);
        }
    }
    answer.otherCommPrinters = static_cast<int>(others.size());
    return answer;
}
