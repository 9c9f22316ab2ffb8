#include "GadgetPrinterProcess.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sstream>
#include <unistd.h>

using namespace std::chrono_literals;

GadgetPrinterProcess::GadgetPrinterProcess(const std::string& name,
                                           const std::vector<std::string>& options)
    : m_log(ResultsFolder() + "/" + name + ".log") {
    unlink(m_log.c_str());
    std::vector<std::string> argv = {GADGET_PRINTER_BINARY, "--log", m_log};
    argv.insert(argv.end(), options.begin(), options.end());
    m_pid = StartChild(argv);
    if (m_pid < 0) {
        ADD_FAILURE() << "fork failed";
        return;
    }
    EXPECT_TRUE(WaitForEvents("up", 1, 10s)) << name << " did not come up; log " << m_log;
}

GadgetPrinterProcess::~GadgetPrinterProcess() {
    if (m_pid > 0 && !StopChild(m_pid, 5s)) {
        ADD_FAILURE() << "the gadget printer did not leave within 5 s of SIGTERM";
    }
}

std::vector<GadgetEvent> GadgetPrinterProcess::Events() const {
    return ReadEvents(m_log);
}

std::vector<GadgetRead> GadgetPrinterProcess::Reads(std::size_t skipReads) const {
    std::vector<GadgetRead> reads;
    for (const GadgetEvent& event : Events()) {
        if (event.kind != "read") {
            continue;
        }
        if (skipReads > 0) {
            --skipReads;
            continue;
        }
        std::istringstream fields(event.detail);
        GadgetRead read;
        read.ms = event.ms;
        fields >> read.endpoint;
        unsigned byte = 0;
        while (fields >> std::hex >> byte) {
            read.bytes.push_back(static_cast<std::uint8_t>(byte));
        }
        reads.push_back(read);
    }
    return reads;
}

bool GadgetPrinterProcess::WaitForEvents(const std::string& kind, std::size_t count,
                                         std::chrono::milliseconds within) const {
    return WaitForLogEvents(m_log, kind, count, within);
}

std::uint64_t GadgetPrinterProcess::LastMs(const std::string& kind) const {
    std::uint64_t last = 0;
    for (const GadgetEvent& event : Events()) {
        if (event.kind == kind) {
            last = event.ms;
        }
    }
    return last;
}

bool GadgetPrinterProcess::LetGo() const {
    return m_pid > 0 && kill(m_pid, SIGUSR1) == 0 && WaitForEvents("released", 1, 5s);
}
