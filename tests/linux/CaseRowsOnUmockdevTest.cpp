// Every row of the table of cases that names umockdev: the real orvane against the row's printers
// on the fake kernel, printer N at port 1-N (its place), each restarting as its description says.
// Beside what the row says, each write must reach the OUT endpoint of the mode the printer was in,
// and the kernel driver must get back every interface taken from it.
#include "CaseTable.h"
#include "OrvaneProcess.h"
#include "PrinterTestbed.h"
#include "UsbDescriptors.h"

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;

namespace {
// The claim for the commands takes the interface from the kernel driver and its release gives
// it back; another program's claim refuses it. Nothing else claims.
void ExpectDriverRound(const std::vector<std::string>& requests, UsbMode mode, bool wrote,
                       bool held) {
    const std::string number = std::to_string(mode == UsbMode::CommClass ? kCommDataInterface : 0);
    std::vector<std::string> expected;
    if (held) {
        expected = {"busy claim " + number};
    } else if (wrote) {
        expected = {"detach+claim " + number, "release " + number, "attach " + number};
    }
    EXPECT_EQ(requests, expected);
}
} // namespace

class CaseRowsOnUmockdev : public ::testing::TestWithParam<CaseRow> {};

TEST_P(CaseRowsOnUmockdev, RunsAsTheTableSays) {
    const CaseRow& row = GetParam();
    PrinterTestbed bed;
    std::vector<std::string> ports;
    std::vector<std::string> places;
    for (std::size_t i = 0; i < row.printers.size(); ++i) {
        bed.Plug(RowPlace(i), row.printers[i]);
        ports.push_back(bed.TtyOf(RowPlace(i)));
        places.push_back(RowPlace(i));
    }
    const auto start = std::chrono::steady_clock::now();
    OrvaneLaunch launch;
    launch.stdoutFile = row.stdoutTo == CaseStdout::Full ? "/dev/full" : "";
    launch.stdoutClosed = row.stdoutTo == CaseStdout::Closed;
    OrvaneResult result;
    {
        OrvaneProcess orvane(RunWords(row, places), launch);
        std::vector<std::jthread> printers;
        for (std::size_t i = 0; i < row.printers.size(); ++i) {
            printers.emplace_back(
                [&bed, i](const std::stop_token& stop) { bed.PlayRestart(RowPlace(i), stop); });
        }
        result = orvane.Finish(row.tookS ? std::chrono::seconds(row.tookS->second + 30) : 60s);
    }
    const auto took = std::chrono::steady_clock::now() - start;

    if (row.json.empty()) {
        EXPECT_EQ(result.out,
                  JoinedLines(ExpectedLines(row.out, CaseSystem::Linux, ports, places)));
    } else {
        EXPECT_EQ(CheckJsonDocument(row, CaseSystem::Linux, result.out, ports, places), "");
    }
    if (!row.err.empty()) {
        EXPECT_EQ(result.err,
                  JoinedLines(ExpectedLines(row.err, CaseSystem::Linux, ports, places)));
    }
    EXPECT_EQ(result.exitCode, row.exit);
    for (std::size_t i = 0; i < row.printers.size(); ++i) {
        SCOPED_TRACE("printer " + std::to_string(i + 1));
        std::vector<std::vector<std::uint8_t>> sent;
        std::vector<std::chrono::steady_clock::time_point> times;
        for (const PrinterNode& node : bed.NodesAt(RowPlace(i))) {
            const std::vector<BulkWrite> writes = bed.usb().WritesTo(node.node);
            for (const BulkWrite& write : writes) {
                EXPECT_EQ(int{write.endpoint}, int{kOutEndpoints[static_cast<int>(node.mode)]});
                sent.push_back(write.bytes);
                times.push_back(write.at);
            }
            ExpectDriverRound(bed.usb().RequestsOn(node.node), node.mode, !writes.empty(),
                              row.printers[i].held != HeldPart::None);
        }
        if (i < row.sent.size() && row.sent[i]) {
            EXPECT_EQ(sent, *row.sent[i]);
        }
        for (const CaseGap& gap : row.gaps) {
            if (gap.printer == i + 1) {
                ASSERT_GE(times.size(), 2u);
                const auto pause = times[1] - times[0];
                EXPECT_GE(pause, std::chrono::milliseconds(gap.minMs));
                EXPECT_LE(pause, std::chrono::milliseconds(gap.maxMs));
            }
        }
    }
    if (row.tookS) {
        EXPECT_GE(took, std::chrono::seconds(row.tookS->first));
        EXPECT_LE(took, std::chrono::seconds(row.tookS->second));
    }
}

// Runs of minutes are named slow_*, for the quick set to leave out.
INSTANTIATE_TEST_SUITE_P(Rows, CaseRowsOnUmockdev,
                         ::testing::ValuesIn(RowsFor(TheCaseTable(), "umockdev")),
                         [](const auto& row) {
                             return (row.param.slow ? "slow_" : "") + row.param.name;
                         });
