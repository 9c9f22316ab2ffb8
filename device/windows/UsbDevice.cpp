#include "device/windows/UsbDevice.h"

#include "common/DebugTrace.h"
#include "common/ShownText.h"
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

bool CUsbDevice::HeldByAnother(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_BUSY;
}

CUsbDevice::CUsbDevice(PrinterTarget printer) : m_printer(std::move(printer)) {
    m_szDeviceName[0] = '\0';
}

HANDLE CUsbDevice::open_file(UsbType mode, const char* pipeName, DWORD dwFlagsAndAttributes) {
    DebugTrace("open_file", EscapeUnprintable(m_szDeviceName));
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
    DebugTrace("open_file", "completeDeviceName=" + EscapeUnprintable(m_szDeviceName));

    HANDLE hFile = OpenForReadWrite(m_szDeviceName, dwFlagsAndAttributes);
    if (hFile == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        DebugTrace("open_file", FormatText("CreateFile: Error=%d", static_cast<int>(error)));
        NoteRefusal(error, m_szDeviceName);
    }
    return hFile;
}

BOOL CUsbDevice::GetUsbDeviceFileName(UsbType mode, char* outNameBuf, int nOutNameBufSize) {
    DebugTrace("GetUsbDeviceFileName", "Enter");
    DebugTrace("nOutNameBufSize = ", FormatText("%d\n", nOutNameBufSize));
    DebugTrace("GetUsbDeviceFileName", EscapeUnprintable(outNameBuf));

    HANDLE hDevice = OpenUsbDevice(InterfaceClassOf(mode), outNameBuf, nOutNameBufSize);
    DebugTrace("GetUsbDeviceFileName", EscapeUnprintable(outNameBuf));
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
        DebugTrace("OUD1 outNameBuf", EscapeUnprintable(outNameBuf));
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
    if (!IsPrinterMeant(m_printer, outNameBuf)) {
        DebugTrace("OpenDeviceInterface",
                   "Another printer: " + EscapeUnprintable(InstanceOfPath(outNameBuf)));
        return INVALID_HANDLE_VALUE;
    }
    const HANDLE hDevice = OpenForReadWrite(outNameBuf);
    if (hDevice == INVALID_HANDLE_VALUE) {
        NoteRefusal(GetLastError(), outNameBuf);
    }
    return hDevice;
}

void CUsbDevice::NoteRefusal(DWORD error, const std::string& path) {
    if (HeldByAnother(error) && m_heldPath.empty()) {
        m_heldPath = path;
    }
}

std::string CUsbDevice::IdentityOf(const std::string& path) const {
    return m_printer.IsListed() ? m_printer.identity() : InstanceOfPath(path);
}
