#include "mode_function.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <sys/file.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {
constexpr const char* run_dir = "/run/gadget-printer";
constexpr auto node_wait = std::chrono::seconds(5);
constexpr auto node_poll = std::chrono::milliseconds(10);

std::set<std::string> printer_nodes() {
    std::set<std::string> nodes;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev", error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("g_printer", 0) == 0) {
            nodes.insert(entry.path().string());
        }
    }
    return nodes;
}

// Another gadget printer binding its printer function at the same time would make the new
// /dev/g_printerN ambiguous: they take turns.
class RunLock {
  public:
    RunLock() {
        std::filesystem::create_directories(run_dir);
        fd_ = open((std::string(run_dir) + "/lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0 || flock(fd_, LOCK_EX) != 0) {
            throw std::runtime_error(std::string("cannot lock ") + run_dir +
                                     "/lock: " + std::strerror(errno));
        }
    }
    ~RunLock() { close(fd_); }
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

  private:
    int fd_ = -1;
};
} // namespace

ModeFunction::ModeFunction(ConfigfsGadget& gadget, UsbMode mode, const std::string& udc)
    : gadget_(gadget) {
    try {
        switch (mode) {
        case UsbMode::Native: {
            gadget_.add_function("ffs");
            std::filesystem::create_directories(run_dir);
            ffs_ = std::make_unique<FunctionFsInterface>(
                gadget_.instance(), std::string(run_dir) + "/ffs-" + gadget_.instance());
            gadget_.bind(udc);
            fd_ = ffs_->out_endpoint();
            endpoint_ = "ep1";
            break;
        }
        case UsbMode::PrinterClass:
            start_printer_class(gadget_.add_function("printer"), udc);
            break;
        case UsbMode::CommClass:
            start_comm_class(gadget_.add_function("acm"), udc);
            break;
        }
    } catch (...) {
        teardown();
        throw;
    }
}

void ModeFunction::start_printer_class(const std::string& function, const std::string& udc) {
    // usblp asks for the IEEE 1284 device ID when it binds.
    write_attribute(function + "/pnp_string", "MFG:Orvane;MDL:Gadget printer;CLS:PRINTER;");
    const RunLock lock;
    const std::set<std::string> before = printer_nodes();
    gadget_.bind(udc);
    // The kernel makes /dev/g_printerN when the function binds.
    const auto deadline = std::chrono::steady_clock::now() + node_wait;
    while (endpoint_.empty()) {
        for (const std::string& node : printer_nodes()) {
            if (before.count(node) == 0) {
                endpoint_ = node;
            }
        }
        if (endpoint_.empty()) {
            if (std::chrono::steady_clock::now() > deadline) {
                throw std::runtime_error("the printer function made no /dev/g_printer node");
            }
            std::this_thread::sleep_for(node_poll);
        }
    }
    // The node opens only once the host has configured the device: see command_fd().
}

int ModeFunction::command_fd() {
    if (fd_ < 0 && !endpoint_.empty()) {
        fd_ = open(endpoint_.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0 && errno != ENODEV) {
            throw std::runtime_error("open " + endpoint_ + ": " + std::strerror(errno));
        }
    }
    return fd_;
}

void ModeFunction::start_comm_class(const std::string& function, const std::string& udc) {
    endpoint_ = "/dev/ttyGS" + read_attribute(function + "/port_num");
    fd_ = open(endpoint_.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
        throw std::runtime_error("open " + endpoint_ + ": " + std::strerror(errno));
    }
    // Raw: no echo back to the host, no line discipline between its bytes and us.
    termios settings{};
    if (tcgetattr(fd_, &settings) == 0) {
        cfmakeraw(&settings);
        settings.c_cc[VMIN] = 1;
        settings.c_cc[VTIME] = 0;
        tcsetattr(fd_, TCSANOW, &settings);
    }
    gadget_.bind(udc);
}

ModeFunction::~ModeFunction() {
    teardown();
}

void ModeFunction::teardown() {
    try {
        gadget_.unbind();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "gadget-printer: %s\n", error.what());
    }
    if (!ffs_ && fd_ >= 0) {
        close(fd_);
    }
    fd_ = -1;
    ffs_.reset();
    gadget_.remove_function();
}
