#include "device/windows/DeviceNode.h"

#include "common/TextCase.h"
#include "device/windows/InterfaceWalk.h"
#include "device/windows/PrinterListing.h"
#include "device/windows/UsbDeviceIds.h"
#include "platform/win32.h"

namespace {
// Whether the device instance ID "USB\<hardware ID>\<instance>" is one of the printer's and
// names the printer meant, as the interfaces' paths do.
bool IsNodeOf(const PrinterTarget& printer, const std::string& instanceId) {
    const std::size_t last = instanceId.rfind('\\');
    return FindUsbDeviceId(instanceId.c_str()) >= 0 && last != std::string::npos &&
           (printer.Matches(instanceId.substr(last + 1)) || printer.Matches(instanceId));
}

// Whether an interface of one of the printer's modes belongs to the device, listed or not yet
// answering: it is then there in that mode. A class that cannot be listed counts as showing one,
// so that a failing lookup never passes for a missing driver.
bool ShowsAnInterface(const std::string& instanceId) {
    for (const UsbType mode : kProbeOrder) {
        InterfaceWalk walk(kInterfaceClass[mode], WalkTrace::Quiet);
        if (!walk.Valid()) {
            return true;
        }
        std::string path;
        SP_DEVINFO_DATA device{};
        while (walk.NextPrinter(&path, &device)) {
            if (EqualIgnoringCase(InstanceIdOfPath(path), instanceId)) {
                return true;
            }
        }
    }
    return false;
}
} // namespace

MissingDriver LookAtDeviceNode(const PrinterTarget& printer) {
    const HDEVINFO hDevInfo =
        SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT);
    if (hDevInfo == INVALID_HANDLE_VALUE) {
        return {};
    }
    MissingDriver found;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0;
         found.kind == MissingDriver::Kind::None && SetupDiEnumDeviceInfo(hDevInfo, index, &device);
         ++index) {
        const std::string id = DeviceInstanceId(hDevInfo, &device);
        ULONG status = 0;
        ULONG problem = 0;
        if (!IsNodeOf(printer, id) ||
            CM_Get_DevNode_Status(&status, &problem, device.DevInst, 0) != CR_SUCCESS) {
            continue;
        }
        if ((status & DN_HAS_PROBLEM) != 0) {
            found = {MissingDriver::Kind::Problem, problem, {}, id, '\\'};
        } else if (!ShowsAnInterface(id)) {
            found = {MissingDriver::Kind::Installing, 0, {}, id, '\\'};
        }
    }
    SetupDiDestroyDeviceInfoList(hDevInfo);
    return found;
}
