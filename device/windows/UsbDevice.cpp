#include "device/windows/UsbDevice.h"

#include "common/DebugTrace.h"
#include "device/windows/InterfaceWalk.h"
#include "device/windows/UsbDeviceIds.h"

#include <cstring>
#include <string>

namespace {
HANDLE OpenForReadWrite(const char* path, DWORD dwFlagsAndAttributes = 0) {
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, dwFlagsAndAttributes, nullptr);
}

} // namespace

CUsbDevice::CUsbDevice(PrinterTarget printer) : m_printer(std::move(printer)) {
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
    InterfaceWalk walk(interfaceClass, WalkTrace::Traced);
    if (!walk.Valid()) {
        DebugTrace("SetupDiGetClassDevs", "Invalid handle");
        return INVALID_HANDLE_VALUE;
    }
    while (walk.Next()) {
        HANDLE hDevice =
            OpenDeviceInterface(walk.DeviceSet(), walk.Current(), outNameBuf, nOutNameBufSize);
        DebugTrace("OUD1 outNameBuf", outNameBuf);
        if (hDevice == INVALID_HANDLE_VALUE) {
            continue;
        }
        if (FindUsbDeviceId(outNameBuf) >= 0) {
            DebugTrace("OpenUsbDevice", "No Errors");
            return hDevice;
        }
        CloseHandle(hDevice);
    }
    return INVALID_HANDLE_VALUE;
}

HANDLE CUsbDevice::OpenDeviceInterface(HDEVINFO hDevInfo, PSP_DEVICE_INTERFACE_DATA pInterfaceData,
                                       char* outNameBuf, int nOutNameBufSize) {
    std::string path;
    if (!ReadInterfaceDetail(hDevInfo, pInterfaceData, &path, nullptr)) {
        return INVALID_HANDLE_VALUE;
    }
    // The path must leave room for a pipe name behind it; a longer one is passed over.
    if (nOutNameBufSize < kPipeSuffixRoom ||
        path.size() > static_cast<std::size_t>(nOutNameBufSize - kPipeSuffixRoom)) {
        DebugTrace("OpenDeviceInterface", FormatText("Device path too long: %d characters",
                                                     static_cast<int>(path.size())));
        return INVALID_HANDLE_VALUE;
    }
    std::memcpy(outNameBuf, path.c_str(), path.size() + 1);

    // Only the printer's own interfaces are opened: opening a foreign device, such as a
    // serial port, can disturb it.
    if (FindUsbDeviceId(outNameBuf) < 0) {
        return INVALID_HANDLE_VALUE;
    }
    // Nor are other printers' interfaces, when one printer is meant.
    if (!m_printer.Matches(InstanceOfPath(outNameBuf))) {
        DebugTrace("OpenDeviceInterface", "Another printer: " + InstanceOfPath(outNameBuf));
        return INVALID_HANDLE_VALUE;
    }
    return OpenForReadWrite(outNameBuf);
}

std::string CUsbDevice::AnsweringInstance() const {
    return InstanceOfPath(m_szDeviceName);
}
