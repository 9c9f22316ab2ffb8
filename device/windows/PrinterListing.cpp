#include "device/windows/PrinterListing.h"

#include "common/ShownText.h"
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

namespace {
// Two instances that would name one printer: the same text without regard to case, or the same
// text once shown.
bool SameInstance(const std::string& a, const std::string& b) {
    return EqualIgnoringCase(a, b) || EqualIgnoringCase(ShowDeviceText(a), ShowDeviceText(b));
}
} // namespace

std::vector<AttachedPrinter> ListAttachedPrinters() {
    std::vector<AttachedPrinter> printers;
    std::vector<std::string> instanceIds; // of each listed printer, from its path
    for (const UsbType mode : kProbeOrder) {
        InterfaceWalk walk(kInterfaceClass[mode], WalkTrace::Quiet);
        std::string path;
        SP_DEVINFO_DATA device{};
        while (walk.NextPrinter(&path, &device)) {
            const std::string instanceId = InstanceIdOfPath(path);
            const bool known =
                std::any_of(instanceIds.begin(), instanceIds.end(), [&](const std::string& listed) {
                    return EqualIgnoringCase(listed, instanceId);
                });
            // A printer that another program holds is listed: the probe then says so.
            if (known || OpenBare(path) == BareOpen::Fails) {
                continue;
            }
            std::string shownId = DeviceInstanceId(walk.DeviceSet(), &device);
            AttachedPrinter printer{InstanceOfPath(path), shownId, mode, {}, '\\', {}, {}};
            if (printer.shownId.empty()) {
                printer.shownId = printer.identity;
                printer.shownIdSeparator = '\0';
            }
            printers.push_back(std::move(printer));
            instanceIds.push_back(instanceId);
        }
    }
    // Printers that share a serial number are named by their device instance IDs instead, which
    // tell them apart by their hardware IDs.
    std::vector<bool> shared(printers.size(), false);
    for (std::size_t i = 0; i < printers.size(); ++i) {
        for (std::size_t j = i + 1; j < printers.size(); ++j) {
            if (SameInstance(printers[i].identity, printers[j].identity)) {
                shared[i] = shared[j] = true;
            }
        }
    }
    for (std::size_t i = 0; i < printers.size(); ++i) {
        if (shared[i]) {
            // The serial as the instance ID spells it, not as the path does (lower case).
            const std::string& id = printers[i].shownId;
            const std::size_t last = id.rfind('\\');
            printers[i].sharedSerial =
                printers[i].shownIdSeparator != '\0' && last != std::string::npos
                    ? id.substr(last + 1)
                    : printers[i].identity;
            printers[i].identity = instanceIds[i];
        }
    }
    return printers;
}
