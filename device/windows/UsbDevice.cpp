#include "device/windows/UsbDevice.h"

#include "common/DebugTrace.h"
#include "device/PrinterChoice.h"
#include "device/windows/UsbDeviceIds.h"

#include <cstring>
#include <string>

namespace {
HANDLE OpenForReadWrite(const char* path, DWORD dwFlagsAndAttributes = 0) {
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, dwFlagsAndAttributes, nullptr);
}

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

CUsbDevice::CUsbDevice(std::string identity) : m_identity(std::move(identity)) {
    m_szDeviceName[0] = '\0';
}

HANDLE CUsbDevice::open_file(UsbType mode, const char* pipeName, DWORD dwFlagsAndAttributes) {
    DebugTrace("open_file", m_szDeviceName);
    if (!GetUsbDeviceFileName(mode, m_szDeviceName, kNameBufSize)) {
        DebugTrace("open_file", "INVALID_HANDLE_VALUE");
        return INVALID_HANDLE_VALUE;
    }
    const std::string completeName = std::string(m_szDeviceName) + "\\" + pipeName;
    if (completeName.size() >= static_cast<std::size_t>(kNameBufSize)) {
        DebugTrace("open_file", "INVALID_HANDLE_VALUE");
        return INVALID_HANDLE_VALUE;
    }
    std::memcpy(m_szDeviceName, completeName.c_str(), completeName.size() + 1);
    DebugTrace("open_file", std::string("completeDeviceName=") + m_szDeviceName);

    HANDLE hFile = OpenForReadWrite(m_szDeviceName, dwFlagsAndAttributes);
    if (hFile == INVALID_HANDLE_VALUE) {
        DebugTrace("open_file",
                   FormatText("CreateFile: Error=%d", static_cast<int>(GetLastError())));
    }
    return hFile;
}

BOOL CUsbDevice::GetUsbDeviceFileName(UsbType mode, char* outNameBuf, int nOutNameBufSize) {
    DebugTrace("GetUsbDeviceFileName", "Enter");
    DebugTrace("nOutNameBufSize = ", FormatText("%d\n", nOutNameBufSize));
    DebugTrace("GetUsbDeviceFileName", outNameBuf);

    HANDLE hDevice = OpenUsbDevice(InterfaceClassOf(mode), outNameBuf, nOutNameBufSize);
    DebugTrace("GetUsbDeviceFileName", outNameBuf);
    if (hDevice == INVALID_HANDLE_VALUE) {
        return FALSE;
    }
    // Opened only to prove that the interface answers; the caller opens a pipe on the path.
    CloseHandle(hDevice);
    return TRUE;
}

HANDLE CUsbDevice::OpenUsbDevice(const GUID& interfaceClass, char* outNameBuf,
                                 int nOutNameBufSize) {
    HDEVINFO hDevInfo = SetupDiGetClassDevsA(&interfaceClass, nullptr, nullptr,
                                             DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (hDevInfo == INVALID_HANDLE_VALUE) {
        DebugTrace("SetupDiGetClassDevs", "Invalid handle");
        return INVALID_HANDLE_VALUE;
    }

    HANDLE hResult = INVALID_HANDLE_VALUE;
    SP_DEVICE_INTERFACE_DATA interfaceData{};
    interfaceData.cbSize = sizeof(SP_DEVICE_INTERFACE_DATA);
    int consecutiveErrors = 0;
    bool found = false;
    for (DWORD i = 0; !found; ++i) {
        DebugTrace("OpenUsbDevice", FormatText("i = %d\n", static_cast<int>(i)));
        if (SetupDiEnumDeviceInterfaces(hDevInfo, nullptr, &interfaceClass, i, &interfaceData)) {
            consecutiveErrors = 0;
            DebugTrace("OpenUsbDevice", "SDEDI returns TRUE");
            HANDLE hDevice =
                OpenDeviceInterface(hDevInfo, &interfaceData, outNameBuf, nOutNameBufSize);
            DebugTrace("OUD1 outNameBuf", outNameBuf);
            if (hDevice == INVALID_HANDLE_VALUE) {
                continue;
            }
            if (FindUsbDeviceId(outNameBuf) >= 0) {
                DebugTrace("OpenUsbDevice", "No Errors");
                hResult = hDevice;
                found = true;
            } else {
                CloseHandle(hDevice);
            }
            continue;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_NO_MORE_ITEMS) {
            DebugTrace("OpenUsbDevice", "ERROR_NO_MORE_ITEMS");
            break;
        }
        DebugTrace("OpenUsbDevice", FormatText("Error = %d", static_cast<int>(error)));
        // An enumeration that only fails would never reach ERROR_NO_MORE_ITEMS.
        if (++consecutiveErrors >= kMaxConsecutiveEnumErrors) {
            DebugTrace("OpenUsbDevice", "Too many enumeration errors");
            break;
        }
    }
    SetupDiDestroyDeviceInfoList(hDevInfo);
    return hResult;
}

HANDLE CUsbDevice::OpenDeviceInterface(HDEVINFO hDevInfo, PSP_DEVICE_INTERFACE_DATA pInterfaceData,
                                       char* outNameBuf, int nOutNameBufSize) {
    DWORD requiredSize = 0;
    SetupDiGetDeviceInterfaceDetailA(hDevInfo, pInterfaceData, nullptr, 0, &requiredSize, nullptr);
    if (requiredSize < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) {
        return INVALID_HANDLE_VALUE;
    }
    LockedGlobal detailMemory(requiredSize);
    auto* pDetail = static_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(detailMemory.Data());
    if (pDetail == nullptr) {
        return INVALID_HANDLE_VALUE;
    }
    pDetail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (!SetupDiGetDeviceInterfaceDetailA(hDevInfo, pInterfaceData, pDetail, requiredSize, nullptr,
                                          nullptr)) {
        return INVALID_HANDLE_VALUE;
    }

    // The path must leave room for a pipe name behind it; a longer one is passed over.
    const std::size_t pathRoom =
        requiredSize - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
    const std::size_t pathLength = strnlen(pDetail->DevicePath, pathRoom);
    if (nOutNameBufSize < kPipeSuffixRoom ||
        pathLength > static_cast<std::size_t>(nOutNameBufSize - kPipeSuffixRoom)) {
        DebugTrace("OpenDeviceInterface",
                   FormatText("Device path too long: %d characters", static_cast<int>(pathLength)));
        return INVALID_HANDLE_VALUE;
    }
    std::memcpy(outNameBuf, pDetail->DevicePath, pathLength);
    outNameBuf[pathLength] = '\0';

    // Only the printer's own interfaces are opened: opening a foreign device, such as a
    // serial port, can disturb it.
    if (FindUsbDeviceId(outNameBuf) < 0) {
        return INVALID_HANDLE_VALUE;
    }
    // Nor are other printers' interfaces, when one printer is meant.
    if (!m_identity.empty() && !SameIdentity(InstanceOfPath(outNameBuf), m_identity)) {
        DebugTrace("OpenDeviceInterface", "Another printer: " + InstanceOfPath(outNameBuf));
        return INVALID_HANDLE_VALUE;
    }
    return OpenForReadWrite(outNameBuf);
}
