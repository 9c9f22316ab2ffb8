// orvane's records in the guest's syslog are rows of the table of cases (logged lines); here, a
// log whose daemon has stopped reading holds neither orvane's result nor its end.
#include "../linux/OrvaneProcess.h"
#include "GadgetPrinterProcess.h"
#include "GuestSyslog.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(VmLog, StalledLogChangesNothingOfTheRun) {
    TakeGuestSyslog();
    StallGuestSyslog();
    const std::uint64_t start = MonotonicMs();
    const OrvaneResult result = RunOrvane({"NATIVE"}, 30s);
    EXPECT_EQ(result.out, "Error opening USB\n");
    EXPECT_EQ(result.exitCode, 2) << result.err;
    EXPECT_LT(MonotonicMs() - start, 10000u);
    TakeGuestSyslog();
}
