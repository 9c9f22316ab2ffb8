#include "text/DriverText.h"

#include "common/DebugTrace.h"
#include "common/ShownText.h"
#include "modechange/ModeChange.h"

namespace {
struct ProblemAdvice {
    std::uint32_t code;
    const char* advice;
};

// The device node problem codes (CM_PROB_*) a printer without its driver shows, with what each
// means and what to do.
constexpr ProblemAdvice kProblemAdvice[] = {
    {1, "the device is not configured: reinstall its driver"},
    {10, "the device cannot start: reinstall its driver"},
    {18, "reinstall its driver"},
    {22, "the device is disabled: enable it in Device Manager"},
    {28, "the driver is not installed"},
    {31, "the driver could not load: reinstall its driver"},
    {39, "the driver is corrupt or missing: reinstall its driver"},
    {43, "the driver stopped the device: unplug the printer and plug it in again"},
};

const char* AdviceFor(std::uint32_t code) {
    for (const ProblemAdvice& known : kProblemAdvice) {
        if (known.code == code) {
            return known.advice;
        }
    }
    return "see the device in Device Manager";
}
} // namespace

std::string NoDriverLine(const MissingDriver& missing, UsbType mode) {
    std::string why;
    const char* system = "Windows";
    switch (missing.kind) {
    case MissingDriver::Kind::Problem:
        why = FormatText("problem code %u: %s", static_cast<unsigned>(missing.problemCode),
                         AdviceFor(missing.problemCode));
        break;
    case MissingDriver::Kind::Installing:
        why = FormatText("none was installed within %d seconds",
                         static_cast<int>(kRestartWaitLimitMs / 1000));
        break;
    case MissingDriver::Kind::Module:
    case MissingDriver::Kind::None:
        system = "the kernel";
        why = "load the module " + missing.module;
        break;
    }
    return FormatText("Printer %s is back, but %s has no working driver for it in %s mode (%s)",
                      ShowDeviceText(missing.shownId, missing.shownIdSeparator).c_str(), system,
                      ModeName(mode), why.c_str());
}

std::string InstallingDriverProgress(UsbType mode, std::uint64_t waitedMs) {
    return FormatText("The printer is back, installing its driver for %s mode: %d s",
                      ModeName(mode), static_cast<int>(waitedMs / 1000));
}
