// Simulated Setup API: device interface lists per interface class, with the size checks
// that the real functions make on the records they are given.
#include "SimSystem.h"

#include <cstddef>

using sim::machine;
using Handle = sim::System::Handle;

namespace {
BOOL Fail(DWORD error) {
    machine().lastError = error;
    return FALSE;
}
} // namespace

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* ClassGuid, PCSTR Enumerator, HWND, DWORD Flags) {
    sim::System& m = machine();
    // Either the interfaces of a class, or every device node of the USB enumerator.
    const bool devices = ClassGuid == nullptr && Flags == (DIGCF_ALLCLASSES | DIGCF_PRESENT) &&
                         Enumerator != nullptr && sim::System::lower(Enumerator) == "usb";
    if (!devices && (ClassGuid == nullptr || (Flags & DIGCF_DEVICEINTERFACE) == 0)) {
        m.lastError = ERROR_INVALID_PARAMETER;
        return INVALID_HANDLE_VALUE;
    }
    if (m.injectFault(sim::Api::SetupDiGetClassDevsA)) {
        return INVALID_HANDLE_VALUE;
    }
    if (devices) {
        Handle list{Handle::Kind::DeviceList};
        list.devices = true;
        list.slots = m.usbDevices();
        return m.addHandle(std::move(list));
    }
    if (m.classDevsFail(*ClassGuid)) {
        m.lastError = ERROR_INVALID_PARAMETER;
        return INVALID_HANDLE_VALUE;
    }
    Handle list{Handle::Kind::DeviceList};
    list.cls = *ClassGuid;
    list.slots = m.enumerationOf(*ClassGuid);
    list.foreverError = m.foreverError(*ClassGuid);
    return m.addHandle(std::move(list));
}

BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA,
                                        const GUID* InterfaceClassGuid, DWORD MemberIndex,
                                        PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData) {
    sim::System& m = machine();
    Handle* list = m.findHandle(DeviceInfoSet, Handle::Kind::DeviceList);
    if (list == nullptr) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    if (list->devices || DeviceInterfaceData == nullptr || InterfaceClassGuid == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (DeviceInterfaceData->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) {
        return Fail(ERROR_INVALID_USER_BUFFER);
    }
    if (m.injectFault(sim::Api::SetupDiEnumDeviceInterfaces)) {
        return FALSE;
    }
    if (MemberIndex >= list->slots.size()) {
        return Fail(list->foreverError.value_or(ERROR_NO_MORE_ITEMS));
    }
    const sim::EnumSlot& slot = list->slots[MemberIndex];
    if (slot.error != 0) {
        return Fail(slot.error);
    }
    DeviceInterfaceData->InterfaceClassGuid = list->cls;
    DeviceInterfaceData->Flags = 1; // SPINT_ACTIVE
    DeviceInterfaceData->Reserved = MemberIndex + 1;
    return TRUE;
}

BOOL WINAPI SetupDiGetDeviceInterfaceDetailA(HDEVINFO DeviceInfoSet,
                                             PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData,
                                             PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail,
                                             DWORD detailSize, PDWORD RequiredSize,
                                             PSP_DEVINFO_DATA DeviceInfoData) {
    sim::System& m = machine();
    Handle* list = m.findHandle(DeviceInfoSet, Handle::Kind::DeviceList);
    if (list == nullptr) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    if (DeviceInterfaceData == nullptr || DeviceInterfaceData->Reserved == 0 ||
        DeviceInterfaceData->Reserved > list->slots.size()) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (m.injectFault(sim::Api::SetupDiGetDeviceInterfaceDetailA)) {
        return FALSE;
    }
    const std::string& path = list->slots[DeviceInterfaceData->Reserved - 1].path;
    const DWORD needed = static_cast<DWORD>(
        offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + path.size() + 1);
    if (RequiredSize != nullptr) {
        *RequiredSize = needed;
    }
    if (detail == nullptr) {
        return Fail(detailSize == 0 ? ERROR_INSUFFICIENT_BUFFER : ERROR_INVALID_USER_BUFFER);
    }
    if (detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) {
        return Fail(ERROR_INVALID_USER_BUFFER);
    }
    if (detailSize < needed) {
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    if (DeviceInfoData != nullptr && DeviceInfoData->cbSize != sizeof(SP_DEVINFO_DATA)) {
        return Fail(ERROR_INVALID_USER_BUFFER);
    }
    std::memcpy(detail->DevicePath, path.c_str(), path.size() + 1);
    if (DeviceInfoData != nullptr) {
        DeviceInfoData->ClassGuid = list->cls;
        DeviceInfoData->DevInst = static_cast<DWORD>(DeviceInterfaceData->Reserved);
        DeviceInfoData->Reserved = DeviceInterfaceData->Reserved;
    }
    return TRUE;
}

namespace {
// The slot of the device that a device record names, or nullptr.
const sim::EnumSlot* DeviceOf(Handle* list, PSP_DEVINFO_DATA DeviceInfoData) {
    if (list == nullptr || DeviceInfoData == nullptr ||
        DeviceInfoData->cbSize != sizeof(SP_DEVINFO_DATA) || DeviceInfoData->Reserved == 0 ||
        DeviceInfoData->Reserved > list->slots.size()) {
        return nullptr;
    }
    return &list->slots[DeviceInfoData->Reserved - 1];
}
} // namespace

BOOL WINAPI SetupDiGetDeviceInstanceIdA(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                        LPSTR DeviceInstanceId, DWORD DeviceInstanceIdSize,
                                        PDWORD RequiredSize) {
    sim::System& m = machine();
    const sim::EnumSlot* device =
        DeviceOf(m.findHandle(DeviceInfoSet, Handle::Kind::DeviceList), DeviceInfoData);
    if (device == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (m.injectFault(sim::Api::SetupDiGetDeviceInstanceIdA)) {
        return FALSE;
    }
    const DWORD needed = static_cast<DWORD>(device->instanceId.size() + 1);
    if (RequiredSize != nullptr) {
        *RequiredSize = needed;
    }
    if (DeviceInstanceId == nullptr || DeviceInstanceIdSize < needed) {
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    std::memcpy(DeviceInstanceId, device->instanceId.c_str(), needed);
    return TRUE;
}

HKEY WINAPI SetupDiOpenDevRegKey(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                 DWORD Scope, DWORD, DWORD KeyType, REGSAM) {
    sim::System& m = machine();
    const sim::EnumSlot* device =
        DeviceOf(m.findHandle(DeviceInfoSet, Handle::Kind::DeviceList), DeviceInfoData);
    if (device == nullptr || Scope != DICS_FLAG_GLOBAL || KeyType != DIREG_DEV) {
        m.lastError = ERROR_INVALID_PARAMETER;
        return static_cast<HKEY>(INVALID_HANDLE_VALUE);
    }
    if (m.injectFault(sim::Api::SetupDiOpenDevRegKey)) {
        return static_cast<HKEY>(INVALID_HANDLE_VALUE);
    }
    Handle key{Handle::Kind::RegistryKey};
    key.keyPath = "System\\CurrentControlSet\\Enum\\" + device->instanceId + "\\Device Parameters";
    return static_cast<HKEY>(m.addHandle(std::move(key)));
}

BOOL WINAPI SetupDiEnumDeviceInfo(HDEVINFO DeviceInfoSet, DWORD MemberIndex,
                                  PSP_DEVINFO_DATA DeviceInfoData) {
    sim::System& m = machine();
    Handle* list = m.findHandle(DeviceInfoSet, Handle::Kind::DeviceList);
    if (list == nullptr || !list->devices) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    if (DeviceInfoData == nullptr || DeviceInfoData->cbSize != sizeof(SP_DEVINFO_DATA)) {
        return Fail(ERROR_INVALID_USER_BUFFER);
    }
    if (m.injectFault(sim::Api::SetupDiEnumDeviceInfo)) {
        return FALSE;
    }
    if (MemberIndex >= list->slots.size()) {
        return Fail(ERROR_NO_MORE_ITEMS);
    }
    DeviceInfoData->ClassGuid = GUID{};
    DeviceInfoData->DevInst =
        sim::System::kDevNodeBase + static_cast<DWORD>(list->slots[MemberIndex].printer);
    DeviceInfoData->Reserved = MemberIndex + 1;
    return TRUE;
}

CONFIGRET WINAPI CM_Get_DevNode_Status(PULONG pulStatus, PULONG pulProblemNumber, DEVINST dnDevInst,
                                       ULONG ulFlags) {
    sim::System& m = machine();
    if (pulStatus == nullptr || pulProblemNumber == nullptr || ulFlags != 0) {
        return CR_INVALID_POINTER;
    }
    if (m.injectFault(sim::Api::CM_Get_DevNode_Status)) {
        return CR_FAILURE;
    }
    const std::size_t index = dnDevInst - sim::System::kDevNodeBase;
    if (dnDevInst < sim::System::kDevNodeBase || index >= m.printerCount() ||
        !m.printerAt(index).online()) {
        return CR_NO_SUCH_DEVINST;
    }
    const sim::Printer& printer = m.printerAt(index);
    *pulStatus = DN_DRIVER_LOADED | DN_STARTED;
    *pulProblemNumber = 0;
    if (!printer.served()) {
        // No driver: a problem code when the machine gave up on one, else nothing at all.
        *pulStatus = printer.problemCode != 0 ? DN_HAS_PROBLEM : 0;
        *pulProblemNumber = printer.problemCode;
    }
    return CR_SUCCESS;
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet) {
    sim::System& m = machine();
    if (!m.releaseHandle(DeviceInfoSet, Handle::Kind::DeviceList)) {
        ++m.badReleases;
        return Fail(ERROR_INVALID_HANDLE);
    }
    return TRUE;
}
