#include "device/windows/PrinterListing.h"

#include "common/TextCase.h"
#include "device/windows/InterfaceWalk.h"
#include "device/windows/UsbDeviceIds.h"

#include <algorithm>

std::string DeviceInstanceId(HDEVINFO hDevInfo, SP_DEVINFO_DATA* pDevice) {
    DWORD required = 0;
    SetupDiGetDeviceInstanceIdA(hDevInfo, pDevice, nullptr, 0, &required);
    if (required == 0 || required > 0x10000) {
        return {};
    }
    std::string id(required, '\0');
    if (!SetupDiGetDeviceInstanceIdA(hDevInfo, pDevice, id.data(), required, nullptr)) {
        return {};
    }
    id.resize(strnlen(id.c_str(), id.size()));
    return id;
}

std::vector<AttachedPrinter> ListAttachedPrinters() {
    std::vector<AttachedPrinter> printers;
    for (const UsbType mode : kProbeOrder) {
        InterfaceWalk walk(kInterfaceClass[mode], WalkTrace::Quiet);
        std::string path;
        SP_DEVINFO_DATA device{};
        while (walk.NextPrinter(&path, &device)) {
            const std::string identity = InstanceOfPath(path);
            const bool known =
                std::any_of(printers.begin(), printers.end(), [&](const AttachedPrinter& p) {
                    return EqualIgnoringCase(p.identity, identity);
                });
            if (known || !InterfaceAnswers(path)) {
                continue;
            }
            std::string shownId = DeviceInstanceId(walk.DeviceSet(), &device);
            if (shownId.empty()) {
                shownId = identity;
            }
            printers.push_back({identity, shownId, mode, {}});
        }
    }
    return printers;
}
