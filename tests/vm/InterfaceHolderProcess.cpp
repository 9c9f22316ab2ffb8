#include "InterfaceHolderProcess.h"

#include "GuestChild.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace std::chrono_literals;

InterfaceHolderProcess::InterfaceHolderProcess(const std::string& name, const std::string& portPath,
                                               int interfaceNumber)
    : m_log(ResultsFolder() + "/" + name + ".log") {
    unlink(m_log.c_str());
    m_pid = StartChild({INTERFACE_HOLDER_BINARY, "--port", portPath, "--interface",
                        std::to_string(interfaceNumber), "--hold-ms", "120000", "--log", m_log});
    if (m_pid < 0) {
        ADD_FAILURE() << "fork failed";
        return;
    }
    m_held = WaitForLogEvents(m_log, "holding", 1, 5s);
}

InterfaceHolderProcess::~InterfaceHolderProcess() {
    if (m_pid > 0 && !StopChild(m_pid, 5s)) {
        ADD_FAILURE() << "the interface holder did not end within 5 s of SIGTERM";
    }
}
