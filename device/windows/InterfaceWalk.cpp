#include "device/windows/InterfaceWalk.h"

#include "common/DebugTrace.h"
#include "device/windows/UsbDevice.h"
#include "device/windows/UsbDeviceIds.h"

#include <cstring>

namespace {
// Owns one locked block of movable global memory for the length of a lookup.
class LockedGlobal {
  public:
    explicit LockedGlobal(std::size_t bytes) {
        m_hMem = GlobalAlloc(GHND, bytes);
        if (m_hMem != nullptr) {
            m_pData = GlobalLock(m_hMem);
        }
    }
    ~LockedGlobal() {
        if (m_pData != nullptr) {
            GlobalUnlock(m_hMem);
        }
        if (m_hMem != nullptr) {
            GlobalFree(m_hMem);
        }
    }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    void* Data() const { return m_pData; }

  private:
    HGLOBAL m_hMem = nullptr;
    void* m_pData = nullptr;
};
} // namespace

InterfaceWalk::InterfaceWalk(const GUID& interfaceClass, WalkTrace trace)
    : m_class(interfaceClass), m_trace(trace),
      m_hDevInfo(SetupDiGetClassDevsA(&interfaceClass, nullptr, nullptr,
                                      DIGCF_PRESENT | DIGCF_DEVICEINTERFACE)) {
    m_interface.cbSize = sizeof(SP_DEVICE_INTERFACE_DATA);
}

InterfaceWalk::~InterfaceWalk() {
    if (Valid()) {
        SetupDiDestroyDeviceInfoList(m_hDevInfo);
    }
}

bool InterfaceWalk::Next() {
    const bool traced = m_trace == WalkTrace::Traced;
    while (Valid()) {
        if (traced) {
            DebugTrace("OpenUsbDevice", FormatText("i = %d\n", static_cast<int>(m_index)));
        }
        if (SetupDiEnumDeviceInterfaces(m_hDevInfo, nullptr, &m_class, m_index++, &m_interface)) {
            m_consecutiveErrors = 0;
            if (traced) {
                DebugTrace("OpenUsbDevice", "SDEDI returns TRUE");
            }
            return true;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_NO_MORE_ITEMS) {
            if (traced) {
                DebugTrace("OpenUsbDevice", "ERROR_NO_MORE_ITEMS");
            }
            return false;
        }
        if (traced) {
            DebugTrace("OpenUsbDevice", FormatText("Error = %d", static_cast<int>(error)));
        }
        // An enumeration that only fails would never reach ERROR_NO_MORE_ITEMS.
        if (++m_consecutiveErrors >= kMaxConsecutiveEnumErrors) {
            if (traced) {
                DebugTrace("OpenUsbDevice", "Too many enumeration errors");
            }
            return false;
        }
    }
    return false;
}

bool InterfaceWalk::NextPrinter(std::string* pPath, SP_DEVINFO_DATA* pDevice) {
    while (Next()) {
        if (ReadInterfaceDetail(m_hDevInfo, &m_interface, pPath, pDevice) &&
            FindUsbDeviceId(pPath->c_str()) >= 0) {
            return true;
        }
    }
    return false;
}

bool ReadInterfaceDetail(HDEVINFO hDevInfo, PSP_DEVICE_INTERFACE_DATA pInterface,
                         std::string* pPath, SP_DEVINFO_DATA* pDevice) {
    DWORD requiredSize = 0;
    SetupDiGetDeviceInterfaceDetailA(hDevInfo, pInterface, nullptr, 0, &requiredSize, nullptr);
    if (requiredSize < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) {
        return false;
    }
    LockedGlobal detailMemory(requiredSize);
    auto* pDetail = static_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(detailMemory.Data());
    if (pDetail == nullptr) {
        return false;
    }
    pDetail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (pDevice != nullptr) {
        *pDevice = SP_DEVINFO_DATA{};
        pDevice->cbSize = sizeof(SP_DEVINFO_DATA);
    }
    if (!SetupDiGetDeviceInterfaceDetailA(hDevInfo, pInterface, pDetail, requiredSize, nullptr,
                                          pDevice)) {
        return false;
    }
    const std::size_t pathRoom =
        requiredSize - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
    pPath->assign(pDetail->DevicePath, strnlen(pDetail->DevicePath, pathRoom));
    return true;
}

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
