#include "SimPrinter.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <stdexcept>

namespace sim {

const GUID kNativeClass = {
    0x5E0A3C91, 0x7D24, 0x4B6F, {0x9A, 0x18, 0xC2, 0xD4, 0xE6, 0xF8, 0x0B, 0x13}};
const GUID kPrinterClass = {
    0x28D78FAD, 0x5A12, 0x11D1, {0xAE, 0x5B, 0x00, 0x00, 0xF8, 0x03, 0xA8, 0xC2}};
const GUID kCommPortClass = {
    0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};

GUID ClassOfMode(int mode) {
    switch (mode) {
    case 1:
        return kPrinterClass;
    case 2:
        return kCommPortClass;
    default:
        return kNativeClass;
    }
}

namespace {
constexpr std::uint8_t kModeCommand[] = {0x1F, 0x0B, 0x4E, 0x1F, 0x43};
constexpr std::uint8_t kRestartCommand[] = {0x1D, 0xFF};

std::string ClassText(const GUID& g) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}",
                  static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

bool EndsWith(const std::vector<std::uint8_t>& data, const std::uint8_t* tail, std::size_t n) {
    return data.size() >= n && std::equal(tail, tail + n, data.end() - static_cast<long>(n));
}
} // namespace

void Printer::describe(const PrinterDescription& description) {
    if (description.settles_in || description.leaves_after_return || description.linger_ms != 0 ||
        description.unplug_after_ms || description.unplug_at_command || description.unplugged ||
        !description.serial) {
        throw std::invalid_argument("the simulated printer cannot play this description");
    }
    std::string pid = product_id_text(description.product_id);
    std::transform(pid.begin(), pid.end(), pid.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    hardwareId = "vid_6b1f&pid_" + pid;
    // Windows spells the instance in lower case in its device paths.
    instance = *description.serial;
    std::transform(instance.begin(), instance.end(), instance.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    port = description.port;
    portInDeviceKey = description.port_in_device_key;
    restartMs = description.restart_ms;
    neverReturns = description.never_back;
    if (description.back_in) {
        returnMode = static_cast<int>(*description.back_in);
    }
    failWrites = description.fail_writes;
    stallWrites = description.stall_writes;
    heldWith = description.held == HeldPart::Whole ? description.held_error : 0;
    pipe01HeldWith = description.held == HeldPart::CommandOnly ? description.held_error : 0;
    if (description.no_driver_in) {
        noDriverMode = static_cast<int>(*description.no_driver_in);
    }
    problemCode = description.problem_code;
    mode_ = static_cast<int>(description.mode);
    if (description.plug_after_ms.value_or(0) > 0) {
        plugAtMs = *description.plug_after_ms;
    } else {
        attach(mode_);
    }
}

void Printer::attach(int mode) {
    attached_ = true;
    restarting_ = false;
    mode_ = mode;
    ++session_;
}

void Printer::detach() {
    attached_ = false;
    ++session_;
}

std::string Printer::path() const {
    if (pathOverride) {
        return *pathOverride;
    }
    return "\\\\?\\usb#" + hardwareId + "#" + instance + "#" + ClassText(ClassOfMode(mode_));
}

std::string Printer::instanceId() const {
    std::string id = "USB\\" + hardwareId + "\\" + instance;
    for (char& c : id) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return id;
}

bool Printer::receive(const std::uint8_t* bytes, std::size_t count, std::uint64_t now) {
    if (failWrites || !online()) {
        return false;
    }
    writes_.push_back({now, std::vector<std::uint8_t>(bytes, bytes + count)});
    received_.insert(received_.end(), bytes, bytes + count);
    // The firmware acts on a complete mode command, then restarts on 1D FF.
    if (received_.size() >= 6 &&
        std::equal(std::begin(kModeCommand), std::end(kModeCommand), received_.end() - 6)) {
        pendingMode_ = received_.back();
    }
    if (EndsWith(received_, kRestartCommand, 2)) {
        received_.clear();
        restarting_ = true;
        ++session_;
        ++restarts_;
        backAtMs_ = now + restartMs;
    }
    return true;
}

void Printer::update(std::uint64_t now) {
    if (plugAtMs && now >= *plugAtMs) {
        plugAtMs.reset();
        attach(mode_);
    }
    if (!attached_ || !restarting_ || neverReturns || now < backAtMs_) {
        return;
    }
    restarting_ = false;
    if (returnMode) {
        mode_ = *returnMode;
    } else if (pendingMode_ >= 0) {
        mode_ = pendingMode_;
    }
    pendingMode_ = -1;
    ++session_;
}

} // namespace sim
