// A gadget printer (tools/gadget-printer) run by a guest test: started with its options and a
// log of its own in the results folder, awaited until it is on the bus, read back event by
// event, and taken off the bus and out of configfs (SIGTERM) when the test is done with it.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

// Its events: "up" ("native dummy_udc.0"), "read" ("ep1 1F 0B ..."), "command", "reset", "down";
// held (--refuse-opens 16), "holding" ("1-1 0") before "up".
struct GadgetEvent {
    std::uint64_t ms = 0; // CLOCK_MONOTONIC, the clock MonotonicMs() reads
    std::string kind;     // "up", "read", "holding", ...
    std::string detail;   // what follows the kind on the line
};

struct GadgetRead {
    std::uint64_t ms = 0;
    std::string endpoint; // "ep1", "/dev/g_printer0", "/dev/ttyGS0"
    std::vector<std::uint8_t> bytes;
};

std::uint64_t MonotonicMs();

class GadgetPrinterProcess {
  public:
    // Starts it with these options and waits (bounded) until it is first on the bus.
    GadgetPrinterProcess(const std::string& name, const std::vector<std::string>& options);
    ~GadgetPrinterProcess();
    GadgetPrinterProcess(const GadgetPrinterProcess&) = delete;
    GadgetPrinterProcess& operator=(const GadgetPrinterProcess&) = delete;

    std::vector<GadgetEvent> Events() const;
    // Every byte it read, in order, after its first `skipReads` reads.
    std::vector<GadgetRead> Reads(std::size_t skipReads = 0) const;
    // Waits until the log holds `count` events of this kind; false when the time runs out.
    bool WaitForEvents(const std::string& kind, std::size_t count,
                       std::chrono::milliseconds within) const;
    // The time of its last event of this kind, 0 when there is none.
    std::uint64_t LastMs(const std::string& kind) const;
    const std::string& log() const { return m_log; }

  private:
    pid_t m_pid = -1;
    std::string m_log;
};
