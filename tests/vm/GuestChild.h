// The helper programs a guest test runs beside orvane (a gadget printer, an interface holder):
// started with their own log in the results folder, and stopped with SIGTERM at the end.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

struct GadgetEvent {
    std::uint64_t ms = 0; // CLOCK_MONOTONIC, the clock MonotonicMs() reads
    std::string kind;     // "up", "read", "holding", ...
    std::string detail;   // what follows the kind on the line
};

// The folder shared with the host ($ORVANE_VM_RESULTS), /tmp outside a guest.
std::string ResultsFolder();
// Starts the program argv[0]; -1 when fork failed.
pid_t StartChild(std::vector<std::string> argv);
// SIGTERM, then waits up to `within` for its end; kills it when it does not end in time, and
// returns false then.
bool StopChild(pid_t pid, std::chrono::milliseconds within);
// The lines "<ms> <kind> <detail>" of a helper's log.
std::vector<GadgetEvent> ReadEvents(const std::string& log);
// Waits until the log holds `count` events of this kind; false when the time runs out.
bool WaitForLogEvents(const std::string& log, const std::string& kind, std::size_t count,
                      std::chrono::milliseconds within);
std::uint64_t MonotonicMs();
