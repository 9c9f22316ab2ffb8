// Figures for bench/vm_bench.py, measured inside a guest: orvane LIST against lsusb -d 6b1f:
// (and MODE, one probe), and changes through every mode, from the printer's return to the end
// of the wait and beyond the printer's restart, with where that time goes. Each run must
// succeed; the figures go to standard output as "BENCH <name> <value in ms> ..." lines.
#include "../linux/OrvaneProcess.h"
#include "GadgetPrinterProcess.h"
#include "GuestCase.h"
#include "GuestUsb.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

using namespace std::chrono_literals;

namespace {
constexpr int kRuns = 20;
constexpr unsigned kRestartMs = 1000;

double ElapsedMs(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since)
        .count();
}

void Report(const char* name, std::vector<double> values) {
    std::sort(values.begin(), values.end());
    double sum = 0;
    for (double value : values) {
        sum += value;
    }
    std::printf("BENCH %s mean %.1f median %.1f min %.1f max %.1f n %zu\n", name,
                sum / static_cast<double>(values.size()), values[values.size() / 2], values.front(),
                values.back(), values.size());
}
} // namespace

TEST(VmBench, ListAgainstLsusbAndChangeTimes) {
    GadgetPrinterProcess printer("bench", {"--mode", "native", "--serial", "ORV-BENCH",
                                           "--restart-ms", std::to_string(kRestartMs)});
    const OrvaneLaunch lsusb{"/usr/bin/lsusb", {}, {}, false};
    std::vector<double> listMs;
    std::vector<double> lsusbMs;
    std::vector<double> modeMs;
    for (int run = 0; run < kRuns; ++run) {
        auto start = std::chrono::steady_clock::now();
        const OrvaneResult reported = RunOrvane({"MODE"});
        modeMs.push_back(ElapsedMs(start));
        ASSERT_EQ(reported.out, "Native USB\n");
        start = std::chrono::steady_clock::now();
        const OrvaneResult listed = RunOrvane({"LIST"});
        listMs.push_back(ElapsedMs(start));
        ASSERT_EQ(listed.out, "1\tORV-BENCH\tNative USB\t\n");
        start = std::chrono::steady_clock::now();
        const OrvaneResult found = RunOrvane({"-d", "6b1f:"}, 30s, lsusb);
        lsusbMs.push_back(ElapsedMs(start));
        ASSERT_EQ(found.exitCode, 0);
        ASSERT_NE(found.out.find("ID 6b1f:c302"), std::string::npos) << found.out;
    }
    Report("list_ms", listMs);
    Report("lsusb_ms", lsusbMs);
    Report("mode_ms", modeMs);

    std::vector<double> backToEnd;
    std::vector<double> beyondRestart;
    std::vector<double> startToReset; // orvane's start to the reset read: the probe, two writes
    std::vector<double> resetToUp;    // the printer's own restart, re-enumeration included
    const std::string port = PortPathOfUdc(0);
    for (int run = 0; run < kRuns; ++run) {
        const int to = (run % 3) + 1 == 3 ? kNative : (run % 3) + 1;
        const std::uint64_t start = MonotonicMs();
        const OrvaneResult changed = RunOrvane({ModeSwitch(to)}, 20s);
        const std::uint64_t end = MonotonicMs();
        ASSERT_EQ(changed.out, ChangedLines(to, InterfaceTty(port, 0)));
        backToEnd.push_back(static_cast<double>(end - printer.LastMs("up")));
        startToReset.push_back(static_cast<double>(printer.LastMs("reset") - start));
        resetToUp.push_back(static_cast<double>(printer.LastMs("up") - printer.LastMs("reset")));
        beyondRestart.push_back(static_cast<double>(end - start - kRestartMs));
    }
    Report("back_to_end_ms", backToEnd);
    Report("beyond_restart_ms", beyondRestart);
    Report("start_to_reset_ms", startToReset);
    Report("reset_to_up_ms", resetToUp);
}
