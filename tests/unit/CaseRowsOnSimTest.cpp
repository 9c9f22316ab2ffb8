// Every row of the table of cases that names sim: the real Windows backend and console face on the
// simulated machine, in virtual time, under the sanitizers and valgrind, with every handle, key
// and device list given back. The rows' emulator-log lines are the Wine levels' alone.
#include "CaseTable.h"
#include "SimMachine.h"

#include <sstream>

class CaseRowsOnSimTest : public SimMachineTest, public ::testing::WithParamInterface<CaseRow> {};

TEST_P(CaseRowsOnSimTest, RunsAsTheTableSays) {
    const CaseRow& row = GetParam();
    std::vector<std::string> ports;
    for (std::size_t i = 0; i < row.printers.size(); ++i) {
        sim::Printer& printer = i == 0 ? machine().printer() : machine().addPrinter();
        printer.describe(row.printers[i]);
        ports.push_back(printer.port.value_or(""));
    }
    const std::uint64_t start = machine().now();
    int exitCode = -1;
    ASSERT_EQ(row.stdoutTo, CaseStdout::Read) << "the simulated machine reads every line";
    const std::string out = RunOrvaneWith(row.run, &exitCode);

    if (row.json.empty()) {
        EXPECT_EQ(out, JoinedLines(ExpectedLines(row.out, CaseSystem::Windows, ports)));
    } else {
        EXPECT_EQ(CheckJsonDocument(row, CaseSystem::Windows, out, ports), "");
    }
    EXPECT_EQ(exitCode, row.exit);
    for (std::size_t i = 0; i < row.sent.size(); ++i) {
        if (row.sent[i]) {
            std::vector<std::vector<std::uint8_t>> writes;
            for (const sim::PrinterWrite& write : machine().printerAt(i).writes()) {
                writes.push_back(write.bytes);
            }
            EXPECT_EQ(writes, *row.sent[i]) << "what printer " << i + 1 << " received";
        }
    }
    for (const CaseGap& gap : row.gaps) {
        const auto& writes = machine().printerAt(gap.printer - 1).writes();
        ASSERT_GE(writes.size(), 2u);
        EXPECT_GE(writes[1].atMs - writes[0].atMs, gap.minMs);
        EXPECT_LE(writes[1].atMs - writes[0].atMs, gap.maxMs);
    }
    if (row.tookS) {
        EXPECT_GE(machine().now() - start, row.tookS->first * 1000ull);
        EXPECT_LE(machine().now() - start, row.tookS->second * 1000ull);
    }
    if (row.checksLog) {
        EXPECT_EQ(LoggedEvents(), ExpectedLines(row.logged, CaseSystem::Windows, ports));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, CaseRowsOnSimTest,
                         ::testing::ValuesIn(RowsFor(TheCaseTable(), "sim")),
                         [](const ::testing::TestParamInfo<CaseRow>& row) {
                             return row.param.name;
                         });
