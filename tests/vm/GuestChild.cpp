#include "GuestChild.h"

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {
constexpr auto kPoll = 20ms;
} // namespace

std::string ResultsFolder() {
    const char* results = std::getenv("ORVANE_VM_RESULTS");
    return results != nullptr ? results : "/tmp";
}

pid_t StartChild(std::vector<std::string> argv) {
    std::vector<char*> pointers;
    pointers.reserve(argv.size() + 1);
    for (std::string& arg : argv) {
        pointers.push_back(arg.data());
    }
    pointers.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        execv(pointers[0], pointers.data());
        _exit(127);
    }
    return pid;
}

bool StopChild(pid_t pid, std::chrono::milliseconds within) {
    kill(pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (waitpid(pid, nullptr, WNOHANG) != pid) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            return false;
        }
        std::this_thread::sleep_for(kPoll);
    }
    return true;
}

std::vector<GadgetEvent> ReadEvents(const std::string& log) {
    std::vector<GadgetEvent> events;
    std::ifstream file(log);
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

bool WaitForLogEvents(const std::string& log, const std::string& kind, std::size_t count,
                      std::chrono::milliseconds within) {
    const auto deadline = std::chrono::steady_clock::now() + within;
    for (;;) {
        std::size_t seen = 0;
        for (const GadgetEvent& event : ReadEvents(log)) {
            seen += event.kind == kind ? 1 : 0;
        }
        if (seen >= count) {
            return true;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(kPoll);
    }
}

std::uint64_t MonotonicMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000 +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000000;
}
