#include "OrvaneProcess.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <linux/capability.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
// Appends what the pipe holds; false at its end.
bool Drain(int fd, std::string* pText) {
    char buffer[4096];
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count > 0) {
        pText->append(buffer, static_cast<std::size_t>(count));
        return true;
    }
    return count < 0 && errno == EINTR;
}
} // namespace

OrvaneProcess::OrvaneProcess(const std::vector<std::string>& args, const OrvaneLaunch& launch) {
    std::vector<std::string> argv = {launch.program.empty() ? ORVANE_BINARY : launch.program};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (std::string& arg : argv) {
        pointers.push_back(arg.data());
    }
    pointers.push_back(nullptr);

    int out[2];
    int err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe2 failed";
        return;
    }
    m_pid = fork();
    if (m_pid == 0) {
        // Only async-signal-safe calls from here on: the parent has other threads.
        if (launch.user) {
            const OrvaneLaunch::User& user = *launch.user;
            if (setgroups(user.groups.size(), user.groups.data()) != 0 || setgid(user.gid) != 0 ||
                setuid(user.uid) != 0) {
                _exit(126);
            }
        } else if (geteuid() == 0) {
            prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
            prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
        }
        if (launch.stdoutClosed) {
            close(STDOUT_FILENO);
        } else if (!launch.stdoutFile.empty()) {
            const int file = open(launch.stdoutFile.c_str(), O_WRONLY | O_CLOEXEC);
            if (file < 0 || dup2(file, STDOUT_FILENO) < 0) {
                _exit(126);
            }
        } else {
            dup2(out[1], STDOUT_FILENO);
        }
        dup2(err[1], STDERR_FILENO);
        execv(pointers[0], pointers.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    m_out = out[0];
    m_err = err[0];
    if (m_pid < 0) {
        ADD_FAILURE() << "fork failed";
    }
}

OrvaneProcess::~OrvaneProcess() {
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    for (const int fd : {m_out, m_err}) {
        if (fd >= 0) {
            close(fd);
        }
    }
}

OrvaneResult OrvaneProcess::Finish(std::chrono::milliseconds within) {
    OrvaneResult result;
    const auto deadline = std::chrono::steady_clock::now() + within;
    // The process's end, as a descriptor poll can wait on beside the pipes.
    const int exited = static_cast<int>(syscall(SYS_pidfd_open, m_pid, 0));
    bool outOpen = m_out >= 0;
    bool errOpen = m_err >= 0;
    bool running = exited >= 0;
    while (outOpen || errOpen || running) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            ADD_FAILURE() << "orvane did not end within " << within.count() << " ms";
            break; // the destructor kills it
        }
        pollfd fds[3] = {{outOpen ? m_out : -1, POLLIN, 0},
                         {errOpen ? m_err : -1, POLLIN, 0},
                         {running ? exited : -1, POLLIN, 0}};
        if (poll(fds, 3, static_cast<int>(left.count())) < 0 && errno != EINTR) {
            ADD_FAILURE() << "poll failed";
            break;
        }
        if (outOpen && fds[0].revents != 0) {
            outOpen = Drain(m_out, &result.out);
        }
        if (errOpen && fds[1].revents != 0) {
            errOpen = Drain(m_err, &result.err);
        }
        running = running && fds[2].revents == 0;
    }
    if (exited >= 0) {
        close(exited);
    }
    int status = 0;
    if (!outOpen && !errOpen && !running && waitpid(m_pid, &status, 0) == m_pid) {
        m_pid = -1;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return result;
}

OrvaneResult RunOrvane(const std::vector<std::string>& args, std::chrono::milliseconds within,
                       const OrvaneLaunch& launch) {
    OrvaneProcess process(args, launch);
    return process.Finish(within);
}
