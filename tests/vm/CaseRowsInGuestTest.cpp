// Every row of the table of cases that names vm, in a guest with the real kernel: printer N is a
// gadget printer on dummy_udc.<N-1>, started from the row's text form, and {portN} is the tty
// the kernel made for it by the end of the run, {placeN} its port path. The slow faults (two
// minutes each) are no vm rows: VmFaults plays them on four printers in one guest at once. The
// guest's syslog is served by the test (GuestSyslog), for the rows' logged lines.
#include "../linux/OrvaneProcess.h"
#include "CaseTable.h"
#include "GadgetPrinterProcess.h"
#include "GuestSyslog.h"
#include "GuestUsb.h"

#include <gtest/gtest.h>

#include <memory>

using namespace std::chrono_literals;

namespace {

// Printer `index` of the row as the gadget takes it: the second printer's own defaults first,
// then the row's options, which override them. A row's --port is the port Windows shows; on
// Linux the kernel names the tty, so the gadget is not told one.
std::vector<std::string> GadgetOptions(const CaseRow& row, std::size_t index) {
    std::vector<std::string> options{"--udc", "dummy_udc." + std::to_string(index)};
    if (index == 1) {
        options.insert(options.end(), {"--serial", *second_printer().serial});
    }
    const std::vector<std::string_view> words = split_words(row.printerTexts[index]);
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] == "--port") {
            ++i;
        } else if (words[i] != "--no-port") {
            options.emplace_back(words[i]);
        }
    }
    return options;
}

// Waits until the kernel's driver holds printer `index`'s interface in the mode it starts in;
// a held printer's holder has it from the start.
void WaitUntilBound(const PrinterDescription& printer, std::size_t index) {
    const std::string port = PortPathOfUdc(static_cast<int>(index));
    if (printer.held != HeldPart::None) {
        return;
    }
    if (printer.mode == UsbMode::CommClass) {
        EXPECT_TRUE(WaitUntil([&] { return !InterfaceTty(port, 0).empty(); }, 5s))
            << "no tty for printer " << index + 1;
    } else if (printer.mode == UsbMode::PrinterClass) {
        EXPECT_TRUE(WaitUntil([&] { return InterfaceDriver(port, 0) == "usblp"; }, 5s));
    }
}

} // namespace

class CaseRowsInGuest : public ::testing::TestWithParam<CaseRow> {};

TEST_P(CaseRowsInGuest, RunsAsTheTableSays) {
    const CaseRow& row = GetParam();
    std::vector<std::unique_ptr<GadgetPrinterProcess>> printers;
    for (std::size_t i = 0; i < row.printers.size(); ++i) {
        printers.push_back(std::make_unique<GadgetPrinterProcess>(
            row.name + "-" + std::to_string(i + 1), GadgetOptions(row, i)));
        WaitUntilBound(row.printers[i], i);
    }

    std::vector<std::string> places;
    for (std::size_t i = 0; i < row.printers.size(); ++i) {
        places.push_back(PortPathOfUdc(static_cast<int>(i)));
    }
    TakeGuestSyslog();
    const std::uint64_t start = MonotonicMs();
    OrvaneLaunch launch;
    launch.stdoutFile = row.stdoutTo == CaseStdout::Full ? "/dev/full" : "";
    launch.stdoutClosed = row.stdoutTo == CaseStdout::Closed;
    const OrvaneResult result = RunOrvane(RunWords(row, places), row.slow ? 200s : 40s, launch);
    const std::uint64_t tookMs = MonotonicMs() - start;
    // The ttys as they are once orvane is done: a change to comm class mode made one.
    std::vector<std::string> ports;
    for (std::size_t i = 0; i < row.printers.size(); ++i) {
        ports.push_back(InterfaceTty(places[i], 0));
    }

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
    EXPECT_EQ(result.exitCode, row.exit) << result.err;
    for (std::size_t i = 0; i < row.sent.size(); ++i) {
        if (!row.sent[i]) {
            continue;
        }
        std::vector<std::vector<std::uint8_t>> reads;
        for (const GadgetRead& read : printers[i]->Reads()) {
            reads.push_back(read.bytes);
        }
        EXPECT_EQ(reads, *row.sent[i]) << "what printer " << i + 1 << " read";
    }
    for (const CaseGap& gap : row.gaps) {
        const std::vector<GadgetRead> reads = printers[gap.printer - 1]->Reads();
        ASSERT_GE(reads.size(), 2u);
        EXPECT_GE(reads[1].ms - reads[0].ms, gap.minMs);
        EXPECT_LE(reads[1].ms - reads[0].ms, gap.maxMs);
    }
    if (row.tookS) {
        EXPECT_GE(tookMs, row.tookS->first * 1000ull);
        EXPECT_LE(tookMs, row.tookS->second * 1000ull);
    }
    if (row.checksLog) {
        EXPECT_EQ(TakeGuestSyslog(), ExpectedLines(row.logged, CaseSystem::Linux, ports, places));
    }
}

std::string RowName(const ::testing::TestParamInfo<CaseRow>& row) {
    return row.param.name;
}

INSTANTIATE_TEST_SUITE_P(Table, CaseRowsInGuest, ::testing::ValuesIn(RowsFor(TheCaseTable(), "vm")),
                         RowName);
