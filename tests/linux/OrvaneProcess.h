// The real orvane, run as a child of the test with the test's environment (the testbed, the
// umockdev preload). Its outputs are collected and its end awaited with a bound; one that does
// not end in time is killed and the test fails.
#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

struct OrvaneResult {
    int exitCode = -1; // -1 when it did not exit normally
    std::string out;
    std::string err;
};

class OrvaneProcess {
  public:
    // Starts orvane with these arguments. When the test runs as root, the child gives up the
    // capabilities that override file permissions, so that it meets the device nodes' modes as
    // an ordinary user does.
    explicit OrvaneProcess(const std::vector<std::string>& args);
    ~OrvaneProcess();
    OrvaneProcess(const OrvaneProcess&) = delete;
    OrvaneProcess& operator=(const OrvaneProcess&) = delete;

    OrvaneResult Finish(std::chrono::milliseconds within);

  private:
    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
};

// Runs orvane to its end.
OrvaneResult RunOrvane(const std::vector<std::string>& args,
                       std::chrono::milliseconds within = std::chrono::seconds(30));
