// Every row of the table of cases that names the fake, on the portable core in virtual time: as
// Orvane.exe shows Windows' printers, and as orvane shows Linux' ones.
#include "CaseTable.h"
#include "CoreTest.h"

#include "hex_bytes.h"

namespace {

struct RowOnSystem {
    CaseRow row;
    CaseSystem system;
};

void PrintTo(const RowOnSystem& row, std::ostream* out) {
    *out << row.row.name;
}

std::vector<RowOnSystem> FakeRows() {
    std::vector<RowOnSystem> chosen;
    for (const CaseRow& row : RowsFor(TheCaseTable(), "fake")) {
        for (const CaseSystem system : {CaseSystem::Windows, CaseSystem::Linux}) {
            // A row of the fake alone is a Windows row.
            const bool windowsOnly = !row.RunsOnSystem(CaseSystem::Linux);
            if (row.RunsOnSystem(system) || (system == CaseSystem::Windows && windowsOnly)) {
                chosen.push_back({row, system});
            }
        }
    }
    return chosen;
}

// "1F 0B / 1D FF": the writes as the table spells them, so that a mismatch reads as a row.
std::string Hex(const std::vector<std::vector<std::uint8_t>>& writes) {
    std::string text;
    for (const auto& write : writes) {
        text += (text.empty() ? "" : " / ") + hex_bytes(write);
    }
    return text;
}

} // namespace

class CaseRowsTest : public CoreTest, public ::testing::WithParamInterface<RowOnSystem> {};

TEST_P(CaseRowsTest, RunsAsTheTableSays) {
    const CaseRow& row = GetParam().row;
    const CaseSystem system = GetParam().system;
    std::vector<std::string> ports;
    std::vector<std::string> places;
    for (std::size_t i = 0; i < row.printers.size(); ++i) {
        fake::Printer& plugged = backend.Plug(fake::Described(row.printers[i], system, i));
        ports.push_back(plugged.port.value_or(""));
        places.push_back(RowPlace(i));
    }
    fake::NameSharedSerials(backend, system);
    withDialog = system == CaseSystem::Windows;

    ASSERT_EQ(row.stdoutTo, CaseStdout::Read) << "the fake reads every line it is given";
    const std::string out = Run(RunWords(row, places));
    if (row.json.empty()) {
        EXPECT_EQ(out, JoinedLines(ExpectedLines(row.out, system, ports, places)));
    } else {
        EXPECT_EQ(CheckJsonDocument(row, system, out, ports, places), "");
    }
    if (!row.err.empty()) {
        EXPECT_EQ(errors, JoinedLines(ExpectedLines(row.err, system, ports, places)));
    }
    EXPECT_EQ(exitCode, row.exit);
    for (std::size_t i = 0; i < row.sent.size(); ++i) {
        if (!row.sent[i]) {
            continue;
        }
        std::vector<std::vector<std::uint8_t>> writes;
        for (const fake::Write& write : printer(i).writes) {
            writes.push_back(write.bytes);
        }
        EXPECT_EQ(Hex(writes), Hex(*row.sent[i])) << "printer " << i + 1 << " received";
    }
    for (const CaseGap& gap : row.gaps) {
        const auto& writes = printer(gap.printer - 1).writes;
        ASSERT_GE(writes.size(), 2u);
        EXPECT_GE(writes[1].atMs - writes[0].atMs, gap.minMs);
        EXPECT_LE(writes[1].atMs - writes[0].atMs, gap.maxMs);
    }
    if (row.tookS) {
        EXPECT_GE(Now(), row.tookS->first * 1000ull);
        EXPECT_LE(Now(), row.tookS->second * 1000ull);
    }
    if (row.checksLog) {
        EXPECT_EQ(log.records, ExpectedLines(row.logged, system, ports, places));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, CaseRowsTest, ::testing::ValuesIn(FakeRows()),
                         [](const ::testing::TestParamInfo<RowOnSystem>& row) {
                             return row.param.row.name + (row.param.system == CaseSystem::Windows
                                                              ? "_windows"
                                                              : "_linux");
                         });
