// The printer's device channel on Windows: finds the printer's interface for a mode through the
// Setup API and opens one of its pipes as a file. Each operation makes its own CUsbDevice on
// the stack; the object keeps no handle, only the last device path it looked at. Given an
// identity, it reaches only that printer: the interfaces of other printers are passed over
// without being opened.
#pragma once

#include "device/PrinterTarget.h"
#include "device/UsbType.h"
#include "platform/win32.h"

#include <string>

class CUsbDevice {
  public:
    static constexpr int kNameBufSize = 256;

    explicit CUsbDevice(PrinterTarget printer = PrinterTarget::FirstFound());
    virtual ~CUsbDevice() = default;
    CUsbDevice(const CUsbDevice&) = delete;
    CUsbDevice& operator=(const CUsbDevice&) = delete;

    // Opens <printer's device path in `mode`>\<pipeName>; INVALID_HANDLE_VALUE when the
    // printer is absent in that mode or the pipe does not open. The caller closes the handle.
    // `dwFlagsAndAttributes` goes to CreateFileA for the pipe (the command pipe is overlapped,
    // so that its writes can be bounded).
    HANDLE open_file(UsbType mode, const char* pipeName, DWORD dwFlagsAndAttributes = 0);

    // Finds the printer's interface for `mode` and proves that it opens; the buffer then holds
    // its device path.
    BOOL GetUsbDeviceFileName(UsbType mode, char* outNameBuf, int nOutNameBufSize);

    // The open interface of the printer in `interfaceClass`, or INVALID_HANDLE_VALUE. The
    // buffer holds the last path examined.
    HANDLE OpenUsbDevice(const GUID& interfaceClass, char* outNameBuf, int nOutNameBufSize);

    // Copies the interface's path to the buffer and opens it when it belongs to the printer.
    HANDLE OpenDeviceInterface(HDEVINFO hDevInfo, PSP_DEVICE_INTERFACE_DATA pInterfaceData,
                               char* outNameBuf, int nOutNameBufSize);

    // The printer whose path the name buffer holds: its instance.
    std::string AnsweringInstance() const;

    const char* DeviceName() const { return m_szDeviceName; }

    // Room a device path needs in the name buffer beyond its own characters: the backslash,
    // a six-character pipe name and the terminator.
    static constexpr int kPipeSuffixRoom = 1 + 6 + 1;

  private:
    PrinterTarget m_printer;
    char m_szDeviceName[kNameBufSize];
};
