// A quiet walk over the present interfaces of one class that carry one of the printer's
// hardware IDs: for the list of attached printers and the port lookup, which say nothing on
// the trace. The device set is released when the walk goes.
#pragma once

#include "platform/win32.h"

#include <string>

// True when the interface's own path opens, as the probe opens it bare to prove that it
// answers: a listed interface whose device is gone is no printer. Paths that leave the device
// channel no room for a pipe name count as not answering, since it passes them over.
bool InterfaceAnswers(const std::string& path);

class InterfaceWalk {
  public:
    explicit InterfaceWalk(const GUID& interfaceClass);
    ~InterfaceWalk();
    InterfaceWalk(const InterfaceWalk&) = delete;
    InterfaceWalk& operator=(const InterfaceWalk&) = delete;

    // The next printer interface: its device path and its device; false at the end.
    bool Next(std::string* pPath, SP_DEVINFO_DATA* pDevice);
    HDEVINFO DeviceSet() const { return m_hDevInfo; }

  private:
    bool DetailOf(SP_DEVICE_INTERFACE_DATA* pInterface, std::string* pPath,
                  SP_DEVINFO_DATA* pDevice);

    GUID m_class;
    HDEVINFO m_hDevInfo;
    DWORD m_index = 0;
    int m_consecutiveErrors = 0;
};
