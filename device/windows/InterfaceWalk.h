// The one walk over the present device interfaces of a class, for the probe's traced search
// and for the quiet lookups (the list of printers, the port). The device set is released when
// the walk goes.
#pragma once

#include "platform/win32.h"

#include <string>

// How the walk speaks: the probe's search traces every step, the quiet lookups say nothing.
enum class WalkTrace { Traced, Quiet };

class InterfaceWalk {
  public:
    InterfaceWalk(const GUID& interfaceClass, WalkTrace trace);
    ~InterfaceWalk();
    InterfaceWalk(const InterfaceWalk&) = delete;
    InterfaceWalk& operator=(const InterfaceWalk&) = delete;

    // False when the Setup API gave no device set; the walk then meets no interface.
    bool Valid() const { return m_hDevInfo != INVALID_HANDLE_VALUE; }
    // Moves to the next enumerated interface; false at the end: no more items, or so many
    // failures in a row that the enumeration would never end by itself.
    bool Next();
    PSP_DEVICE_INTERFACE_DATA Current() { return &m_interface; }
    HDEVINFO DeviceSet() const { return m_hDevInfo; }

    // For the quiet lookups: the next interface whose path carries one of the printer's
    // hardware IDs, with its path and device.
    bool NextPrinter(std::string* pPath, SP_DEVINFO_DATA* pDevice);

    // Consecutive enumeration errors after which a class counts as holding no printer.
    static constexpr int kMaxConsecutiveEnumErrors = 16;

  private:
    GUID m_class;
    WalkTrace m_trace;
    HDEVINFO m_hDevInfo;
    SP_DEVICE_INTERFACE_DATA m_interface{};
    DWORD m_index = 0;
    int m_consecutiveErrors = 0;
};

// The device path of one interface of the set, and its device when `pDevice` is given; false
// when the Setup API cannot give them.
bool ReadInterfaceDetail(HDEVINFO hDevInfo, PSP_DEVICE_INTERFACE_DATA pInterface,
                         std::string* pPath, SP_DEVINFO_DATA* pDevice);

// True when the interface's own path opens, as the probe opens it bare to prove that it
// answers: a listed interface whose device is gone is no printer. Paths that leave the device
// channel no room for a pipe name count as not answering, since it passes them over.
bool InterfaceAnswers(const std::string& path);
