#include "device/ProbeUsb.h"

#include "SimMachine.h"

class ProbeUsbTest : public SimMachineTest {};

TEST_F(ProbeUsbTest, ReportsTheModeThePrinterAnswersIn) {
    const char* names[] = {"Native USB", "Printer Class USB", "Comm Class USB"};
    for (UsbType mode : {IDNATIVETYPE, IDPRINTERCLASSTYPE, IDCOMMCLASSTYPE}) {
        sim::reset();
        printer().attach(mode);
        char text[kUsbStringSize];
        EXPECT_EQ(ProbeUsb(backend, PrinterTarget::FirstFound(), text, kUsbStringSize), mode);
        EXPECT_STREQ(text, names[mode]);
        EXPECT_EQ(machine().openResources(), sim::Resources{});
    }
}

TEST_F(ProbeUsbTest, ModesAreTriedInOrderUntilOneAnswers) {
    printer().attach(IDCOMMCLASSTYPE);
    char text[kUsbStringSize];
    EXPECT_EQ(ProbeUsb(backend, PrinterTarget::FirstFound(), text, kUsbStringSize),
              IDCOMMCLASSTYPE);
    EXPECT_STREQ(text, "Comm Class USB");
    EXPECT_EQ(machine().callsOf(sim::Api::SetupDiGetClassDevsA), 3);
    EXPECT_EQ(TraceCount("pInPipe("), 3);
    EXPECT_EQ(TraceCount(") retval = 2  UsbString = Comm Class USB\n\n"), 1);
}

TEST_F(ProbeUsbTest, NoPrinterLooksLikeNativeButSaysSo) {
    char text[kUsbStringSize];
    EXPECT_EQ(ProbeUsb(backend, PrinterTarget::FirstFound(), text, kUsbStringSize), IDNATIVETYPE);
    EXPECT_STREQ(text, "Error opening USB");
    EXPECT_EQ(machine().callsOf(sim::Api::SetupDiGetClassDevsA), 3);
    EXPECT_EQ(TraceCount("retval = 0  UsbString = Error opening USB"), 1);
}

TEST_F(ProbeUsbTest, OpensOnlyThePrinterOncePerProbe) {
    AddForeignSerialPorts(4);
    printer().attach(IDNATIVETYPE);
    char text[kUsbStringSize];
    ProbeUsb(backend, PrinterTarget::FirstFound(), text, kUsbStringSize);
    EXPECT_EQ(machine().createFilePaths().size(), 2u);
}

TEST_F(ProbeUsbTest, SmallBufferGetsATerminatedPrefix) {
    printer().attach(IDPRINTERCLASSTYPE);
    char text[8];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(ProbeUsb(backend, PrinterTarget::FirstFound(), text, 5), IDPRINTERCLASSTYPE);
    EXPECT_STREQ(text, "Prin");
    EXPECT_EQ(text[5], 'x');
}
