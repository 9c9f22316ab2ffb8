#include "device/windows/InterfaceWalk.h"

#include "device/windows/UsbDevice.h"
#include "device/windows/UsbDeviceIds.h"

#include <cstring>
#include <vector>

bool InterfaceAnswers(const std::string& path) {
    if (path.size() >
        static_cast<std::size_t>(CUsbDevice::kNameBufSize - CUsbDevice::kPipeSuffixRoom)) {
        return false;
    }
    const HANDLE hDevice =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (hDevice == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(hDevice);
    return true;
}

InterfaceWalk::InterfaceWalk(const GUID& interfaceClass)
    : m_class(interfaceClass),
      m_hDevInfo(SetupDiGetClassDevsA(&interfaceClass, nullptr, nullptr,
                                      DIGCF_PRESENT | DIGCF_DEVICEINTERFACE)) {}

InterfaceWalk::~InterfaceWalk() {
    if (m_hDevInfo != INVALID_HANDLE_VALUE) {
        SetupDiDestroyDeviceInfoList(m_hDevInfo);
    }
}

bool InterfaceWalk::Next(std::string* pPath, SP_DEVINFO_DATA* pDevice) {
    if (m_hDevInfo == INVALID_HANDLE_VALUE) {
        return false;
    }
    SP_DEVICE_INTERFACE_DATA interfaceData{};
    interfaceData.cbSize = sizeof(SP_DEVICE_INTERFACE_DATA);
    while (m_consecutiveErrors < CUsbDevice::kMaxConsecutiveEnumErrors) {
        if (!SetupDiEnumDeviceInterfaces(m_hDevInfo, nullptr, &m_class, m_index++,
                                         &interfaceData)) {
            if (GetLastError() == ERROR_NO_MORE_ITEMS) {
                return false;
            }
            ++m_consecutiveErrors;
            continue;
        }
        m_consecutiveErrors = 0;
        if (DetailOf(&interfaceData, pPath, pDevice) && FindUsbDeviceId(pPath->c_str()) >= 0) {
            return true;
        }
    }
    return false;
}

bool InterfaceWalk::DetailOf(SP_DEVICE_INTERFACE_DATA* pInterface, std::string* pPath,
                             SP_DEVINFO_DATA* pDevice) {
    DWORD requiredSize = 0;
    SetupDiGetDeviceInterfaceDetailA(m_hDevInfo, pInterface, nullptr, 0, &requiredSize, nullptr);
    const std::size_t fixedPart = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
    if (requiredSize <= fixedPart) {
        return false;
    }
    // DWORD cells keep the record aligned as the Setup API expects.
    std::vector<DWORD> buffer((requiredSize + sizeof(DWORD) - 1) / sizeof(DWORD) + 1, 0);
    auto* pDetail = reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(buffer.data());
    pDetail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    *pDevice = SP_DEVINFO_DATA{};
    pDevice->cbSize = sizeof(SP_DEVINFO_DATA);
    if (!SetupDiGetDeviceInterfaceDetailA(m_hDevInfo, pInterface, pDetail, requiredSize, nullptr,
                                          pDevice)) {
        return false;
    }
    pPath->assign(pDetail->DevicePath, strnlen(pDetail->DevicePath, requiredSize - fixedPart));
    return true;
}
