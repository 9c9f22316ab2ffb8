// The real orvane, run as a child of the test with the test's environment (the testbed, the
// umockdev preload). Its outputs are collected and its end awaited with a bound; one that does
// not end in time is killed and the test fails.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

struct OrvaneResult {
    int exitCode = -1; // -1 when it did not exit normally
    std::string out;
    std::string err;
};

// Which orvane runs and as whom: by default the build's own, as the test's user.
struct OrvaneLaunch {
    std::string program; // empty: the build's orvane
    struct User {
        uid_t uid;
        gid_t gid;
        std::vector<gid_t> groups;
    };
    std::optional<User> user;
    // Standard output: a pipe the test reads, unless it goes to this file (/dev/full) or is
    // closed.
    std::string stdoutFile;
    bool stdoutClosed = false;
};

class OrvaneProcess {
  public:
    // Starts orvane with these arguments. When the test runs as root and names no other user,
    // the child gives up the capabilities that override file permissions, so that it meets the
    // device nodes' modes as an ordinary user does.
    explicit OrvaneProcess(const std::vector<std::string>& args, const OrvaneLaunch& launch = {});
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
                       std::chrono::milliseconds within = std::chrono::seconds(30),
                       const OrvaneLaunch& launch = {});
