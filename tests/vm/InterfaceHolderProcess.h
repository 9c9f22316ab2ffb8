// A second program that holds one interface of a printer claimed through libusb
// (tools/gadget-printer's usb-interface-holder), as a print backend would while printing; the
// claim ends when the object does.
#pragma once

#include <string>
#include <sys/types.h>

class InterfaceHolderProcess {
  public:
    // Claims interface `interfaceNumber` of the device at `portPath`, and waits (bounded) until
    // the claim is made; `held()` says whether it was.
    InterfaceHolderProcess(const std::string& name, const std::string& portPath,
                           int interfaceNumber);
    ~InterfaceHolderProcess();
    InterfaceHolderProcess(const InterfaceHolderProcess&) = delete;
    InterfaceHolderProcess& operator=(const InterfaceHolderProcess&) = delete;

    bool held() const { return m_held; }
    const std::string& log() const { return m_log; }

  private:
    pid_t m_pid = -1;
    std::string m_log;
    bool m_held = false;
};
