#include "GadgetPrinterProcess.h"

#include "GuestUsb.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {
// The folder shared with the host ($ORVANE_VM_RESULTS), /tmp outside a guest.
std::string ResultsFolder() {
    const char* results = std::getenv("ORVANE_VM_RESULTS");
    return results != nullptr ? results : "/tmp";
}
} // namespace

std::uint64_t MonotonicMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000 +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000000;
}

GadgetPrinterProcess::GadgetPrinterProcess(const std::string& name,
                                           const std::vector<std::string>& options)
    : m_log(ResultsFolder() + "/" + name + ".log") {
    unlink(m_log.c_str());
    std::vector<std::string> argv = {GADGET_PRINTER_BINARY, "--log", m_log};
    argv.insert(argv.end(), options.begin(), options.end());
    std::vector<char*> pointers;
    pointers.reserve(argv.size() + 1);
    for (std::string& arg : argv) {
        pointers.push_back(arg.data());
    }
    pointers.push_back(nullptr);
    m_pid = fork();
    if (m_pid == 0) {
        execv(pointers[0], pointers.data());
        _exit(127);
    }
    if (m_pid < 0) {
        ADD_FAILURE() << "fork failed";
        return;
    }
    EXPECT_TRUE(WaitForEvents("up", 1, 10s)) << name << " did not come up; log " << m_log;
}

GadgetPrinterProcess::~GadgetPrinterProcess() {
    if (m_pid <= 0) {
        return;
    }
    kill(m_pid, SIGTERM);
    if (!WaitUntil([&] { return waitpid(m_pid, nullptr, WNOHANG) == m_pid; }, 5s)) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        ADD_FAILURE() << "the gadget printer did not leave within 5 s of SIGTERM";
    }
}

std::vector<GadgetEvent> GadgetPrinterProcess::Events() const {
    std::vector<GadgetEvent> events;
    std::ifstream file(m_log);
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        GadgetEvent event;
        fields >> event.ms >> event.kind;
        std::getline(fields >> std::ws, event.detail);
        events.push_back(event);
    }
    return events;
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
    return WaitUntil(
        [&] {
            const std::vector<GadgetEvent> events = Events();
            return static_cast<std::size_t>(
                       std::count_if(events.begin(), events.end(), [&](const GadgetEvent& event) {
                           return event.kind == kind;
                       })) >= count;
        },
        within);
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
