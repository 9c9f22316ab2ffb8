#include "device/windows/CommPort.h"
#include "device/UsbType.h"

#include "SimMachine.h"

class CommPortTest : public SimMachineTest {
  protected:
    std::string port;
    bool found = false;
    // Runs the lookup on a buffer full of garbage, so a missing terminator shows.
    std::string Lookup() {
        return Stdout([this] {
            char buffer[kPortNameSize];
            std::memset(buffer, '#', sizeof buffer);
            found = GetCommPortName(buffer, kPortNameSize);
            port.assign(buffer, strnlen(buffer, sizeof buffer));
        });
    }
};

TEST_F(CommPortTest, ReadsThePortThePrinterListed) {
    machine().setRegistryString(kSerialCommKey, kPrinterPortValue, "COM5");
    EXPECT_EQ(Lookup(), "");
    EXPECT_TRUE(found);
    EXPECT_EQ(port, "COM5");
}

TEST_F(CommPortTest, MissingKeyIsReported) {
    EXPECT_EQ(Lookup(), "Error Opening Key (HARDWARE\\DEVICEMAP\\SERIALCOMM)\n");
    EXPECT_FALSE(found);
}

TEST_F(CommPortTest, MissingValueIsReportedAndTheKeyClosed) {
    machine().setRegistryString(kSerialCommKey, "\\Device\\Serial0", "COM1");
    EXPECT_EQ(Lookup(), "Error Querying Value (\\Device\\QZMPUSBPort0) = 2\n");
    EXPECT_FALSE(found);
    EXPECT_EQ(machine().openResources().registryKeys, 0);
}

TEST_F(CommPortTest, TextWithoutTerminatorIsTerminated) {
    machine().setRegistryString(kSerialCommKey, kPrinterPortValue, "COM12", false);
    Lookup();
    EXPECT_TRUE(found);
    EXPECT_EQ(port, "COM12");
}

TEST_F(CommPortTest, NameThatFillsTheBufferFitsOnlyWithItsTerminator) {
    const std::string longest(kPortNameSize - 1, 'C');
    machine().setRegistryString(kSerialCommKey, kPrinterPortValue, longest);
    Lookup();
    EXPECT_TRUE(found);
    EXPECT_EQ(port, longest);

    const std::string unterminated(kPortNameSize, 'C');
    machine().setRegistryString(kSerialCommKey, kPrinterPortValue, unterminated, false);
    EXPECT_EQ(Lookup(), "Error Querying Value (\\Device\\QZMPUSBPort0) = 234\n");
    EXPECT_FALSE(found);
}

TEST_F(CommPortTest, NameLongerThanTheBufferIsAnError) {
    machine().setRegistryString(kSerialCommKey, kPrinterPortValue, std::string(40, 'C'));
    EXPECT_EQ(Lookup(), "Error Querying Value (\\Device\\QZMPUSBPort0) = 234\n");
    EXPECT_FALSE(found);
    EXPECT_EQ(machine().openResources().registryKeys, 0);
}

TEST_F(CommPortTest, PrinterInCommClassModeListsItsPort) {
    printer().port = "COM7";
    printer().attach(IDCOMMCLASSTYPE);
    Lookup();
    EXPECT_TRUE(found);
    EXPECT_EQ(port, "COM7");
}

// A port name from the registry is device text: shown escaped by MODE and the dialog, and never
// carried raw into the trace.
TEST_F(CommPortTest, PortNameFromTheRegistryIsShownEscaped) {
    printer().port = "COM7\x1b[2J";
    printer().attach(IDCOMMCLASSTYPE);
    int exitCode = -1;
    EXPECT_EQ(RunOrvaneWith({"MODE"}, &exitCode), "Comm Class USB = COM7\\x1B[2J\n");
    RunDialog({});
    EXPECT_EQ(dialog.view.status, "Comm Class USB = COM7\\x1B[2J");
    for (const std::string& line : trace()) {
        EXPECT_EQ(line.find('\x1b'), std::string::npos) << line;
    }
}
